// What the quiz adds to teach: the score line, the outlines and strip text after a wrong click,
// typed answers and the learning record written after every answer.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>

#include "platform/core/text_file.h"
#include "platform/core/file_replace.h"
#include "resources/core/ui_texts.h"
#include "quiz/ui/learning_state_window.h"
#include "quiz/ui/quiz_mode.h"
#include "tests/ui/structures/image_window_testing.h"

namespace ostrelin::test {
namespace {

namespace t = quiz_text;
using QuizLearningTest = ImageWindowTest;

constexpr Day kToday = Day(std::chrono::year(2026) / 3 / 2);

QPoint PointOfStructure(const ImageWindow& window, const std::string& name) {
  if (name == "Herz") return ImageWindowTest::PointOf(window, 40, 40);
  if (name == "Lunge") return ImageWindowTest::PointOf(window, 105, 65);
  return ImageWindowTest::PointOf(window, 120, 90);
}

void PressEnter(QWidget* widget) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QApplication::sendEvent(widget, &press);
}

std::string Score(const QuizMode& quiz) { return quiz.Dialog()->ScoreLine()->text().toStdString(); }

// The smallest rectangle around the window's pixels of exactly `colour`.
QRect AreaOf(ImageWindow& window, QColor colour);

// True when the structure `name` is outlined green.
bool green(ImageWindow& window, const std::string& name) {
  return AreaOf(window, Qt::green).contains(PointOfStructure(window, name));
}

QRect AreaOf(ImageWindow& window, QColor colour) {
  const QImage image = window.grab().toImage();
  QRect area;
  for (int y = kStripHeight; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == colour) area |= QRect(x, y, 1, 1);
    }
  }
  return area;
}

TEST_F(QuizLearningTest, ScoreAndOutlinesAfterWrongRightAndShownAnswers) {
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  quiz.Start(kQuizNameToStructure, false);
  ASSERT_NE(quiz.Dialog(), nullptr);
  EXPECT_EQ(Score(quiz), "Richtig: 0   Falsch: 0   Gezeigt: 0   Offen: 3");
  // The dialog grew by the line below its buttons.
  const QuizDialog& dialog = *quiz.Dialog();
  EXPECT_GT(dialog.ScoreLine()->geometry().top(), dialog.ShowAnswerButton()->geometry().bottom());
  EXPECT_LE(dialog.ScoreLine()->geometry().bottom(), dialog.height());

  const std::string target = quiz.State().TargetName();
  const std::string wrong = target == "Herz" ? "Lunge" : "Herz";
  Click(*window, PointOfStructure(*window, wrong));
  ASSERT_EQ(messages.shown.size(), 1u);
  // The question comes back once more at the end; "Offen" does not grow for it.
  EXPECT_EQ(Score(quiz), "Richtig: 0   Falsch: 1   Gezeigt: 0   Offen: 3");
  EXPECT_EQ(quiz.ConfusionNote(), "Gew\xE4hlt: " + wrong + " \xB7 Gesucht: " + target);
  EXPECT_EQ(window->PointedNames(), "");  // the strip still names nothing under the pointer
  const QRect red = AreaOf(*window, Qt::red);
  const QRect green = AreaOf(*window, Qt::green);
  EXPECT_TRUE(red.contains(PointOfStructure(*window, wrong))) << "red around the clicked one";
  EXPECT_FALSE(red.contains(PointOfStructure(*window, target)));
  EXPECT_TRUE(green.contains(PointOfStructure(*window, target))) << "green around the asked one";

  // The right click after the wrong one does not count again; the next question clears the rest.
  Click(*window, PointOfStructure(*window, target));
  EXPECT_EQ(messages.shown.back().text, t::kRight);
  EXPECT_EQ(Score(quiz), "Richtig: 0   Falsch: 1   Gezeigt: 0   Offen: 3");
  EXPECT_EQ(quiz.ConfusionNote(), "");
  EXPECT_TRUE(AreaOf(*window, Qt::red).isEmpty());

  quiz.Dialog()->ShowAnswerButton()->click();  // shown: counted as such, asked again
  EXPECT_EQ(Score(quiz), "Richtig: 0   Falsch: 1   Gezeigt: 1   Offen: 3");
}

TEST_F(QuizLearningTest, TypedAnswersRightWrongAndShownInTheDialogAndOnTheImage) {
  // What the answers count and record is the session's (its core tests); here the dialog's
  // fields, Enter, the messages and the outlines.
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  quiz.SetSynonyms({{"HERZMUSKEL", "HERZ"}});
  quiz.Start(kQuizStructureToName, false);
  QuizDialog* dialog = quiz.Dialog();
  ASSERT_NE(dialog, nullptr);
  QLineEdit* field = dialog->AnswerField();
  EXPECT_TRUE(dialog->NameField()->isHidden());
  EXPECT_FALSE(field->isHidden());
  EXPECT_FALSE(field->isReadOnly());

  // A name that is no structure: wrong, and the structure asked is outlined green.
  const std::string first = quiz.State().ShownName();
  field->setText(QStringLiteral("Milz"));
  PressEnter(field);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Ihre Antwort ist leider falsch ! Sie haben gew\xE4hlt:\nMilz");
  EXPECT_FALSE(quiz.State().AnswerShown());  // Enter did not press "Zeige Antwort"
  EXPECT_EQ(Score(quiz), "Richtig: 0   Falsch: 1   Gezeigt: 0   Offen: 3");
  EXPECT_EQ(window->StripText(), "Gew\xE4hlt: Milz \xB7 Gesucht: " + first);
  EXPECT_TRUE(green(*window, first));

  // Right, written another way: upper case with blanks, or the synonym.
  field->setText(
      QString::fromLatin1(first == "Herz" ? " herz muskel " : (" " + first + " ").c_str())
          .toUpper());
  PressEnter(field);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].text, t::kRight);
  EXPECT_TRUE(field->text().isEmpty());  // the next question asks afresh

  // Another structure of the atlas: it is outlined red.
  const std::string second = quiz.State().ShownName();
  const std::string other = second == "Herz" ? "Lunge" : "Herz";
  field->setText(QString::fromLatin1(other.c_str()));
  PressEnter(field);
  EXPECT_TRUE(AreaOf(*window, Qt::red).contains(PointOfStructure(*window, other)));

  // Shown: the name in the read-only field, counted as shown.
  dialog->NextButton()->click();
  dialog->ShowAnswerButton()->click();
  EXPECT_FALSE(dialog->NameField()->isHidden());
  EXPECT_TRUE(field->isHidden());
  EXPECT_EQ(Score(quiz), "Richtig: 0   Falsch: 2   Gezeigt: 1   Offen: 3");
  const size_t shownMessages = messages.shown.size();
  PressEnter(field);  // nothing more after the answer was shown
  EXPECT_EQ(messages.shown.size(), shownMessages);
}

TEST_F(QuizLearningTest, AnAnswerOnTheImageGoesIntoTheRecordFile) {
  // What is counted, told and asked first is the session's (its core tests); here the record
  // the program hands to the quiz is written on disk after a click.
  const std::string path = tree.DataPath() + "BENUTZER.LRN";
  LearningRecordFile record(
      path,
      [&](const std::filesystem::path& p, std::string_view bytes) {
        return ReplaceFileContents(p, bytes);
      },
      &messages);
  record.Load();
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  quiz.SetLearningRecord(&record, [] { return kToday; });
  quiz.Start(kQuizNameToStructure, false);
  const std::string target = quiz.State().TargetName();
  const std::string wrong = target == "Herz" ? "Lunge" : "Herz";
  Click(*window, PointOfStructure(*window, wrong));
  LearningRecordFile reread(path, nullptr, nullptr);
  reread.Load();
  ASSERT_EQ(reread.Record().Entries().size(), 1u);
  EXPECT_EQ(reread.Record().Entries()[0].name, target);
  EXPECT_EQ(reread.Record().Entries()[0].confusedWith, wrong);
  EXPECT_EQ(reread.Record().Entries()[0].last, kToday);
}

}  // namespace
}  // namespace ostrelin::test

namespace ostrelin::test {
namespace {

// A main window that opens a plane's page by loading its image into the image window, as the
// request processing does (and, opening a page with text, asks the window to leave full view).
class PlaneOpeningMain : public CommandTarget {
 public:
  explicit PlaneOpeningMain(TransferBuffer& buffer) : buffer_(buffer) {}
  void SendCommand(int command) override {
    const std::string name = buffer_.name;
    if (buffer_.busy) buffer_.Release();
    if (window == nullptr ||
        (command != CommandId(Command::kOpenPlane) && command != CommandId(Command::kGoToPlace)))
      return;
    commands.push_back(command);
    opened.push_back(name);
    window->LeaveFullView();
    if (name == "Ebene 1") window->LoadImage("Bilder\\Schnitt\\brust.bmp", true);
    if (name == "Ebene 2") window->LoadImage("Bilder\\Schnitt\\ohne.bmp", true);
    if (name == "Ebene 3") window->LoadImage("Bilder\\Schnitt\\bauch.bmp", true);
  }
  ImageWindow* window = nullptr;
  std::vector<std::string> opened;
  std::vector<int> commands;

 private:
  TransferBuffer& buffer_;
};

TEST_F(QuizLearningTest, ASeriesAsksEveryPlaneAndCountsAcrossThem) {
  // A second plane with two structures of its own; the one between has none and is passed over.
  tree.Write("Bilder/Schnitt/bauch.bmp", *ReadFileBytes(tree.Root() / "Bilder/Schnitt/brust.bmp"));
  OutlineFile outline{"Bauch",
                      {Box(1, "Leber", 20, 59, 20, 59), Box(2, "Milz", 100, 139, 60, 119)}};
  std::string bytes, error;
  ASSERT_TRUE(EncodeOutline(outline, bytes, error)) << error;
  tree.Write("Bilder/Schnitt/bauch.dat", bytes);

  PlaneOpeningMain planes(buffer);
  ImageWindow window(nullptr, tree.DataPath(), QRect(0, 0, 420, 320), buffer, planes, messages,
                     random);
  QuizMode quiz(window, buffer, planes, messages);
  window.show();
  planes.window = &window;
  quiz.StartSeries({"Ebene 1", "Ebene 2", "Ebene 3"});
  ASSERT_TRUE(quiz.State().Running());
  EXPECT_EQ(planes.opened, (std::vector<std::string>{"Ebene 1"}));
  EXPECT_FALSE(window.NormalView());
  // The strip names the plane asked; the plane is opened as a page request the navigation
  // panel follows and marks (it does not follow its own "open plane").
  EXPECT_EQ(window.StripText(), "Ebene 1 von 3: Ebene 1");

  // The session decides what is asked on each plane (its core tests); here the window's part:
  // each plane opens through the main window, and the run stays in full view meanwhile.
  for (int i = 0; i < 6 && quiz.State().Running(); ++i) {
    EXPECT_FALSE(window.NormalView());
    if (i == 0) quiz.Dialog()->ShowAnswerButton()->click();  // one shown, asked again
    quiz.Dialog()->NextButton()->click();
  }
  EXPECT_EQ(planes.opened, (std::vector<std::string>{"Ebene 1", "Ebene 2", "Ebene 3"}));
  EXPECT_EQ(planes.commands, std::vector<int>(3, CommandId(Command::kGoToPlace)));
  // Through: the last message gives the score of the whole run, and the quiz has ended.
  EXPECT_FALSE(quiz.State().Running());
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_EQ(messages.shown.back().text,
            std::string(t::kSeriesDone) + "Ergebnis: 0 von 5 richtig, 0 falsch, 1 gezeigt");
  EXPECT_TRUE(window.NormalView());
}

}  // namespace
}  // namespace ostrelin::test

namespace ostrelin::test {
namespace {

TEST(LearningStateWindowTest, CountsOfTheRegionAndTheAtlasAndTheMostConfused) {
  LearningRecord record;
  record.Parse(
      "Herz # 2 # 2026-03-01 # 1 # 0 # \r\n"       // region, due 2026-03-05
      "Lunge # 1 # 2026-03-01 # 0 # 3 # Herz\r\n"  // region, due
      "Leber # 3 # 2026-02-20 # 2 # 1 # Milz\r\n"  // atlas only, due 2026-03-01
      "Niere # 5 # 2026-03-01 # 9 # 0 # \r\n");    // atlas only
  std::vector<std::string> opened;
  LearningStateWindow window(nullptr, record, kToday, {"HERZ", "Lunge", "Aorta"},
                             [&](const std::string& name) { opened.push_back(name); });
  const char* expected[6][2] = {{"1", "1"}, {"1", "1"}, {"0", "1"},
                                {"0", "0"}, {"0", "1"}, {"1", "2"}};
  for (int row = 0; row < 6; ++row) {
    for (int column = 0; column < 2; ++column) {
      EXPECT_EQ(window.Count(row, column).toStdString(), expected[row][column])
          << "row " << row << " column " << column;
    }
  }
  ASSERT_EQ(window.ShowButtons().size(), 2u);
  window.ShowButtons()[1]->click();
  EXPECT_EQ(opened, (std::vector<std::string>{"Leber"}));
  for (int column = 0; column < 2; ++column) {
    EXPECT_EQ(window.Header(column)->alignment(), Qt::AlignRight | Qt::AlignVCenter)
        << "the header stands over its right-aligned numbers";
  }
}

TEST_F(QuizLearningTest, LernstandShowsAStructureOnTheImageAtOnceAndClosesBesideIt) {
  LearningRecord record;
  record.Parse(
      "Lunge # 1 # 2026-03-01 # 0 # 3 # Herz\r\n"    // on the image shown
      "Leber # 1 # 2026-03-01 # 0 # 2 # Milz\r\n");  // not on it
  auto image = LoadedWindow(700, 500);
  image->move(0, 0);
  std::vector<std::string> opened;
  LearningStateWindow window(nullptr, record, kToday, {},
                             [&](const std::string& name) { opened.push_back(name); });
  window.ShowOnImage(image.get());
  window.show();
  const QPoint centre = image->mapToGlobal(image->rect().center());
  EXPECT_FALSE(window.frameGeometry().contains(centre)) << "the image's centre stays in sight";

  ASSERT_EQ(window.ShowButtons().size(), 2u);
  window.ShowButtons()[0]->click();  // Lunge: outlined at once, no list, no page
  EXPECT_EQ(image->LastHighlightedName(), "Lunge");
  EXPECT_TRUE(opened.empty());
  window.ShowButtons()[1]->click();  // Leber: found elsewhere
  EXPECT_EQ(opened, (std::vector<std::string>{"Leber"}));

  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&window, &escape);
  EXPECT_FALSE(window.isVisible());
  window.show();
  ASSERT_NE(window.CloseButton(), nullptr);
  window.CloseButton()->click();
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace ostrelin::test
