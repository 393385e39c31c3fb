// The quiz in the image window: the control dialog, the three directions, right and wrong
// answers, "Zeige Antwort" and the end of a run.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <set>
#include <stdexcept>

#include "resources/core/ui_texts.h"
#include "quiz/ui/quiz_mode.h"
#include "tests/ui/structures/image_window_testing.h"

namespace ostrelin::test {
namespace {

namespace t = quiz_text;
using QuizWindowTest = ImageWindowTest;

// A window point over the structure called `name` (one not covered by another one).
QPoint PointOfStructure(const ImageWindow& window, const std::string& name) {
  if (name == "Herz") return ImageWindowTest::PointOf(window, 40, 40);
  if (name == "Lunge") return ImageWindowTest::PointOf(window, 105, 65);
  return ImageWindowTest::PointOf(window, 120, 90);  // "Aorta", under "Lunge" as well
}

// Starts a quiz and gives its control dialog; a quiz that shows none fails the test at once.
QuizDialog* StartedDialog(QuizMode& quiz, int direction, bool alternating = false) {
  quiz.Start(direction, alternating);
  if (quiz.Dialog() == nullptr) throw std::runtime_error("the quiz shows no dialog");
  return quiz.Dialog();
}

TEST_F(QuizWindowTest, AnImageWithoutStructuresIsRefused) {
  auto window = MakeWindow();
  QuizMode quiz(*window, buffer, main, messages);
  ASSERT_TRUE(window->LoadImage("Bilder\\Schnitt\\ohne.bmp", false));
  quiz.Start(kQuizNameToStructure, false);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, t::kNoStructures);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
  EXPECT_FALSE(quiz.State().Running());
  EXPECT_TRUE(window->NormalView());
  EXPECT_EQ(quiz.Dialog(), nullptr);
}

TEST_F(QuizWindowTest, NameToStructureRightAndWrongAnswers) {
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  QuizDialog* const dialog = StartedDialog(quiz, kQuizNameToStructure);
  EXPECT_FALSE(window->NormalView());
  EXPECT_EQ(window->FullViewBox()->checkState(), Qt::Checked);
  EXPECT_FALSE(window->FullViewBox()->isEnabled());
  EXPECT_EQ(dialog->windowTitle(), QString::fromLatin1(t::kWhereIs));
  const std::string target = quiz.State().TargetName();
  ASSERT_FALSE(target.empty());
  EXPECT_EQ(dialog->NameField()->text().toStdString(), target);
  Paint(*window);

  // A wrong structure: the message names it, and the question comes back later.
  const std::string wrong = target == "Herz" ? "Lunge" : "Herz";
  Click(*window, PointOfStructure(*window, wrong));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "Ihre Antwort ist leider falsch ! Sie haben gew\xE4hlt:\n" + wrong);
  EXPECT_EQ(quiz.State().Questions().back(), quiz.State().Current());
  EXPECT_EQ(quiz.State().TargetName(), target);  // still the same question

  // The right one: the message, then the next question at once.
  main.sent.clear();
  Click(*window, PointOfStructure(*window, target));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].text, t::kRight);
  EXPECT_EQ(NamesSent(CommandId(Command::kStructureHighlighted)).front(),
            target);                        // a click tells the main window
  EXPECT_FALSE(window->HighlightActive());  // the next question cleared it
  // A screen reader hears that a quiz runs, never the name of the structure.
  EXPECT_TRUE(window->accessibleDescription().contains(QString::fromLatin1(t::kQuizRunning)));
  EXPECT_FALSE(window->accessibleDescription().contains(QString::fromLatin1(target.c_str())));
  // Three questions: one taken, the wrong one queued again, the next one taken.
  EXPECT_EQ(quiz.State().Questions().size(), 2u);
}

TEST_F(QuizWindowTest, ShowAnswerHighlightsTheTargetAndClicksAreIgnoredUntilTheNextQuestion) {
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  QuizDialog* const dialog = StartedDialog(quiz, kQuizNameToStructure);
  const std::string target = quiz.State().TargetName();
  dialog->ShowAnswerButton()->click();
  EXPECT_TRUE(quiz.State().AnswerShown());
  EXPECT_EQ(window->HighlightText(), target);

  Click(*window, PointOfStructure(*window, target));
  EXPECT_TRUE(messages.shown.empty());

  dialog->NextButton()->click();
  EXPECT_FALSE(quiz.State().AnswerShown());
  EXPECT_NE(quiz.State().TargetName(), target);
  Click(*window, PointOfStructure(*window, quiz.State().TargetName()));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, t::kRight);
}

TEST_F(QuizWindowTest, AClickOnOverlappingStructuresIsRightWhenTheTargetIsAmongThem) {
  struct Case {
    const char* target;
    std::string message;
  };
  const Case cases[] = {
      {"Aorta", t::kRight},
      {"Herz",
       "Ihre Antwort ist leider falsch ! Sie haben gew\xE4hlt:\n\xDC"
       "berlappende "
       "Strukturen / keine richtig"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    messages.shown.clear();
    auto window = LoadedWindow();
    QuizMode quiz(*window, buffer, main, messages);
    quiz.Start(kQuizNameToStructure, false);
    for (int i = 0; i < 3 && quiz.State().TargetName() != c.target; ++i) {
      quiz.Dialog()->NextButton()->click();
    }
    ASSERT_EQ(quiz.State().TargetName(), c.target);
    main.sent.clear();
    Click(*window, PointOfStructure(*window, "Aorta"));  // "Aorta" lies inside "Lunge"
    EXPECT_EQ(window->OverlapList(), nullptr);           // no list during the quiz
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, c.message);
    // The right one among the hits became the current structure, or each hit in turn and the
    // last one stays.
    EXPECT_EQ(window->Objects()->CurrentStructure(), 2);
    if (c.message == t::kRight) {
      // A click on several structures highlights none of them: the main window hears no name.
      for (const std::string& name : NamesSent(CommandId(Command::kStructureHighlighted)))
        EXPECT_EQ(name, "");
    } else {
      EXPECT_EQ(quiz.State().TargetName(), c.target);
    }
  }
}

TEST_F(QuizWindowTest, StructureToNameShowsTheStructureAndTheAnswerInTheDialog) {
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  main.sent.clear();
  QuizDialog* const dialog = StartedDialog(quiz, kQuizStructureToName);
  EXPECT_EQ(dialog->windowTitle(), QString::fromLatin1(t::kNameIt));
  const std::string shown = quiz.State().ShownName();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(window->HighlightText(), shown);
  EXPECT_TRUE(dialog->NameField()->isHidden());
  // The highlighted structure is the question: the main window is not told its name.
  for (const std::string& name : NamesSent(CommandId(Command::kStructureHighlighted)))
    EXPECT_EQ(name, "");

  Click(*window, PointOfStructure(*window, "Herz"));  // clicks do nothing
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(window->HighlightText(), shown);

  dialog->ShowAnswerButton()->click();
  EXPECT_FALSE(dialog->NameField()->isHidden());
  EXPECT_EQ(dialog->NameField()->text().toStdString(), shown);
}

TEST_F(QuizWindowTest, TheStripNamesNothingWhileAQuizRunsAndNothingAfterTheMouseLeft) {
  for (const int direction : {kQuizNameToStructure, kQuizStructureToName}) {
    SCOPED_TRACE(direction);
    auto window = LoadedWindow();
    QuizMode quiz(*window, buffer, main, messages);
    Mouse(*window, QEvent::MouseMove, PointOfStructure(*window, "Herz"));
    ASSERT_EQ(window->PointedNames(), "Herz");
    quiz.Start(direction, false);
    EXPECT_EQ(window->PointedNames(), "");  // the name pointed at before goes as well
    Paint(*window);
    for (const char* name : {"Herz", "Lunge", "Aorta"}) {
      Mouse(*window, QEvent::MouseMove, PointOfStructure(*window, name));
      EXPECT_EQ(window->PointedNames(), "") << name;
    }

    quiz.Dialog()->EndButton()->click();
    Settle();
    Paint(*window);
    Mouse(*window, QEvent::MouseMove, PointOfStructure(*window, "Aorta"));
    EXPECT_EQ(window->PointedNames(), "Lunge / Aorta");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window.get(), &leave);
    EXPECT_EQ(window->PointedNames(), "");
  }
}

TEST_F(QuizWindowTest, TheDialogSitsJustBelowTheStripOnTheScreen) {
  // A parent whose client area lies away from the screen's origin, as below a caption, with the
  // image window below a bar of its own.
  QWidget parent;
  parent.setGeometry(30, 45, 640, 480);
  auto* window = new ImageWindow(&parent, tree.DataPath(), QRect(0, 25, 420, 320), buffer, main,
                                 messages, random);
  QuizMode quiz(*window, buffer, main, messages);
  parent.show();
  ASSERT_TRUE(window->LoadImage("Bilder\\Schnitt\\brust.bmp", false));
  QuizDialog* const dialog = StartedDialog(quiz, kQuizNameToStructure);
  const QPoint stripBottom = window->mapToGlobal(QPoint(0, kStripHeight));
  ASSERT_NE(stripBottom, QPoint(0, kStripHeight));
  EXPECT_EQ(dialog->frameGeometry().topLeft(), stripBottom);
}

TEST_F(QuizWindowTest, AlternatingAsksInBothDirections) {
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  QuizDialog* const dialog = StartedDialog(quiz, kQuizNameToStructure, true);
  std::set<QString> captions;
  for (int i = 0; i < 20; ++i) {
    captions.insert(dialog->windowTitle());
    dialog->NextButton()->click();
  }
  EXPECT_EQ(captions,
            (std::set<QString>{QString::fromLatin1(t::kWhereIs), QString::fromLatin1(t::kNameIt)}));
}

TEST_F(QuizWindowTest, EndingLeavesFullViewAndANewImageForgetsTheQuestions) {
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  quiz.Start(kQuizNameToStructure, false);
  ASSERT_NE(quiz.Dialog(), nullptr);
  quiz.Dialog()->EndButton()->click();
  Settle();
  EXPECT_FALSE(quiz.State().Running());
  EXPECT_EQ(quiz.Dialog(), nullptr);
  EXPECT_TRUE(window->NormalView());
  EXPECT_TRUE(window->FullViewBox()->isEnabled());
  EXPECT_EQ(window->FullViewBox()->checkState(), Qt::Unchecked);
  EXPECT_EQ(quiz.State().Questions().size(), 2u);  // kept for the same image

  // Right clicks work again after the quiz.
  int menus = 0;
  window->SetMenuChooser([&](const std::vector<ContextMenuEntry>&, const QPoint&) {
    ++menus;
    return 0;
  });
  Click(*window, QPoint(60, 60), Qt::RightButton);
  EXPECT_EQ(menus, 1);

  ASSERT_TRUE(window->LoadImage("Bilder\\Schnitt\\brust.bmp", false));
  EXPECT_TRUE(quiz.State().Questions().empty());
}

TEST_F(QuizWindowTest, DuringAQuizTabStepsWithoutNamingOrNotAtAll) {
  auto window = LoadedWindow();
  QuizMode quiz(*window, buffer, main, messages);
  window->setFocus(Qt::TabFocusReason);
  quiz.Start(kQuizNameToStructure, false);
  main.sent.clear();
  Key(*window, Qt::Key_Tab);
  EXPECT_EQ(window->HighlightText(), "Aorta");
  EXPECT_EQ(window->PointedNames(), "");
  EXPECT_TRUE(main.sent.empty());  // not announced: the search window would name it
  // Enter answers with the structure stepped to.
  Key(*window, Qt::Key_Return);
  ASSERT_EQ(messages.shown.size(), 1u);
  const bool right = quiz.State().TargetName() == "Aorta";
  EXPECT_EQ(messages.shown[0].text.rfind(
                right ? "Ihre Antwort ist richtig" : "Ihre Antwort ist leider falsch", 0),
            0u);
  window->Command(image_cmd::kNormalView);

  // Structure to name: the question's structure stays highlighted; Tab and Escape are off.
  quiz.Start(kQuizStructureToName, false);
  const std::string asked = window->HighlightText();
  ASSERT_FALSE(asked.empty());
  Key(*window, Qt::Key_Tab);
  Key(*window, Qt::Key_Escape);
  EXPECT_EQ(window->HighlightText(), asked);
  EXPECT_EQ(window->PointedNames(), "");
  // Saving during a quiz writes no name band: Ctrl+S is off.
  bool asked_for_file = false;
  window->SetFileChooser([&](const QString&) {
    asked_for_file = true;
    return QString();
  });
  Key(*window, Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(asked_for_file);
}

TEST_F(QuizWindowTest, TheDialogIsWideEnoughForItsCaptionAndQuestionAtEveryFontSize) {
  const QFont before = QApplication::font();
  const std::string name = "Arteria cerebri media sinistra, Pars sphenoidalis";
  for (const int points : {8, 10, 12, 14}) {
    QFont font = before;
    font.setPointSize(points);
    QApplication::setFont(font);
    QuizDialog dialog(nullptr, [](int) {});
    for (const char* caption : {t::kWhereIs, t::kNameIt}) {
      dialog.SetCaption(caption);
      dialog.AskForStructure(name);
      // A bold caption in the desktop's font beside the icon and three title buttons.
      font.setBold(true);
      const QFontMetrics title(font);
      EXPECT_GE(dialog.width(),
                title.horizontalAdvance(QString::fromLatin1(caption)) + 4 * title.height())
          << points << " points";
      const QFontMetrics field(dialog.NameField()->font());
      EXPECT_GT(dialog.NameField()->contentsRect().width(),
                field.horizontalAdvance(QString::fromLatin1(name.c_str())))
          << points << " points";
      EXPECT_LE(dialog.NextButton()->geometry().right(), dialog.EndButton()->geometry().left());
      EXPECT_LE(dialog.EndButton()->geometry().right(), dialog.width());
    }
  }
  QApplication::setFont(before);
}

}  // namespace
}  // namespace ostrelin::test
