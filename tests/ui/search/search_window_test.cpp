// The search window on the offscreen platform: typing, synonyms, the movement keys, the requests
// it sends through the transfer buffer, and its controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <string>
#include <vector>

#include "search/ui/search_window.h"
#include "platform/ui/qt_text.h"
#include "shell/core/commands.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/selection_testing.h"

namespace ostrelin {
namespace {

// Input as the user gives it, sent straight to the widget.
void SendKey(QWidget* to, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &release);
}

void SendText(QWidget* to, const QString& text) {
  for (const QChar c : text)
    SendKey(to, c.toUpper().unicode() < 0x80 ? c.toUpper().unicode() : 0, c);
}

void SendMouse(QWidget* to, QEvent::Type type, Qt::MouseButton button, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, QPointF(at), to->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
  QApplication::sendEvent(to, &event);
}

void Click(QWidget* to, Qt::MouseButton button, QPoint at) {
  SendMouse(to, QEvent::MouseButtonPress, button, at);
  SendMouse(to, QEvent::MouseButtonRelease, button, at);
}

void DoubleClick(QWidget* to, QPoint at) {
  Click(to, Qt::LeftButton, at);
  SendMouse(to, QEvent::MouseButtonDblClick, Qt::LeftButton, at);
  SendMouse(to, QEvent::MouseButtonRelease, Qt::LeftButton, at);
}

// The main window as the search window sees it: records every command with the name in the
// buffer, and clears the buffer as the real one does when `release` is set.
struct RecordingMain : CommandTarget {
  explicit RecordingMain(TransferBuffer& b) : buffer(b) {}
  void SendCommand(int command) override {
    sent.push_back({command, buffer.name});
    if (release) buffer.Release();
  }
  TransferBuffer& buffer;
  bool release = true;
  std::vector<std::pair<int, std::string>> sent;
};

// A recorded command with the name it found in the buffer.
std::pair<int, std::string> Sent(Command command, std::string name) {
  return {CommandId(command), std::move(name)};
}

class SearchWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.Write("Daten/SYNONYMS.LST", test::WithCrLf("Herz # Cor\nm\xFC"
                                                     "ndung # Ostium\nHerz\n###\n"));
    synonyms_.LoadFromAtlas(tree_.DataPath());
    window_ = std::make_unique<SearchWindow>(nullptr, synonyms_, buffer_, main_);
    window_->resize(205, 560);
    for (const char* name : {"Aorta", "Cor", "LINKES COR", "AORTA", "Zwerchfell", "Aorta",
                             "Arteria carotis", "Ostium", "Milz"}) {
      window_->AddName(name);
    }
    for (int i = 0; i < 40; ++i) window_->AddName("Nervus " + std::to_string(100 + i));
    window_->RemoveDuplicates();
    window_->show();
  }

  void Type(const char* text) {
    window_->Field()->setFocus();
    SendText(window_->Field(), QString::fromLatin1(text));
  }
  void Key(Qt::Key key, QWidget* to = nullptr) { SendKey(to ? to : window_->Field(), key); }
  std::string FieldText() const { return FromQString(window_->Field()->text()); }
  void DoubleClickRow(int row) {
    NameList* list = window_->List();
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    DoubleClick(list->viewport(), rect.center());
  }

  test::TempTree tree_;
  TransferBuffer buffer_;
  RecordingMain main_{buffer_};
  SynonymList synonyms_;
  std::unique_ptr<SearchWindow> window_;
};

TEST_F(SearchWindowTest, ControlsSitWhereTheLayoutPutsThem) {
  EXPECT_EQ(window_->objectName(), "9032");
  EXPECT_EQ(window_->Caption()->text(), "Suche nach");
  EXPECT_EQ(window_->Caption()->geometry(), QRect(3, 8, 197, 14));
  EXPECT_EQ(window_->Field()->geometry(), QRect(3, 30, 197, 18));
  EXPECT_EQ(window_->List()->geometry(), QRect(3, 58, 197, 494));
  EXPECT_EQ(window_->Field()->objectName(), "9055");
  EXPECT_EQ(window_->List()->objectName(), "9054");
  EXPECT_EQ(window_->Field()->maxLength(), 512);
  EXPECT_EQ(window_->Synonyms().Count(), 2u);  // the incomplete lines are skipped
  SearchWindow hidden(nullptr, synonyms_, buffer_, main_);
  EXPECT_TRUE(hidden.isHidden());
}

TEST_F(SearchWindowTest, DuplicatesGoAndCaseVariantsStay) {
  EXPECT_EQ(window_->Count(), 48);
  EXPECT_EQ(window_->EntryAt(0), "AORTA");
  EXPECT_EQ(window_->EntryAt(1), "Aorta");
  EXPECT_EQ(window_->EntryAt(2), "Arteria carotis");
}

TEST_F(SearchWindowTest, TypingSelectsTheFirstEntryBeginningWithTheTextInCapitals) {
  Type("aor");
  EXPECT_EQ(FieldText(), "AOR");
  EXPECT_EQ(window_->SelectedName(), "AORTA");
  Type("x");
  EXPECT_EQ(window_->SelectedIndex(), SearchNames::kNone);
  EXPECT_TRUE(main_.sent.empty());  // typing selects but announces nothing
}

TEST_F(SearchWindowTest, SynonymsReplaceWhereNothingBeginsWithTheText) {
  Type("Herz");
  EXPECT_EQ(window_->SelectedName(), "Cor");
  window_->Field()->clear();
  Type("linkes herz");
  EXPECT_EQ(FieldText(), "LINKES HERZ");
  EXPECT_EQ(window_->SelectedName(), "LINKES COR");
  // Typed umlauts become capitals, so the synonym stored with a small one never matches.
  window_->Field()->clear();
  Type("m\xFCndung");
  EXPECT_EQ(FieldText(), "M\xDCNDUNG");
  EXPECT_EQ(window_->SelectedIndex(), SearchNames::kNone);
}

TEST_F(SearchWindowTest, MovementKeysSelectAnnounceAndFillTheField) {
  Key(Qt::Key_Up);  // no selection: nothing
  EXPECT_EQ(window_->SelectedIndex(), SearchNames::kNone);
  EXPECT_TRUE(main_.sent.empty());

  Key(Qt::Key_Down);
  EXPECT_EQ(window_->SelectedName(), "AORTA");
  EXPECT_EQ(FieldText(), "AORTA");
  ASSERT_EQ(main_.sent.size(), 1u);
  EXPECT_EQ(main_.sent[0], Sent(Command::kAnnouncePage, std::string("AORTA")));

  Key(Qt::Key_Up);  // at the top: nothing more
  EXPECT_EQ(main_.sent.size(), 1u);

  Key(Qt::Key_End);
  EXPECT_EQ(window_->SelectedName(), "Zwerchfell");
  Key(Qt::Key_PageUp);
  EXPECT_EQ(window_->SelectedIndex(), 47 - 20);
  Key(Qt::Key_PageDown);  // within the last 21 entries: the last one
  EXPECT_EQ(window_->SelectedIndex(), 47);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(window_->SelectedIndex(), 47);
  Key(Qt::Key_Home);
  EXPECT_EQ(window_->SelectedIndex(), 0);
  EXPECT_EQ(main_.sent.back(), Sent(Command::kAnnouncePage, std::string("AORTA")));
}

TEST_F(SearchWindowTest, ChoosingALowerCaseVariantLandsOnTheFirstEntryWithThoseLetters) {
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);  // "Aorta"; the field shows it in capitals, which find "AORTA" first
  EXPECT_EQ(FieldText(), "AORTA");
  EXPECT_EQ(window_->SelectedName(), "AORTA");
}

TEST_F(SearchWindowTest, EnterOpensTheSelectionOnlyWhenTheBufferIsFree) {
  Key(Qt::Key_Return);  // nothing selected
  EXPECT_TRUE(main_.sent.empty());
  Type("MILZ");
  Key(Qt::Key_Return);
  ASSERT_EQ(main_.sent.size(), 1u);
  EXPECT_EQ(main_.sent[0], Sent(Command::kSearchOpen, std::string("Milz")));
  SendKey(window_->List(), Qt::Key_Enter);
  EXPECT_EQ(main_.sent.size(), 2u);
  EXPECT_FALSE(buffer_.busy);
}

TEST_F(SearchWindowTest, DoubleClickWhileBusyDoesNothingAndWorksAfterwards) {
  buffer_.busy = true;
  buffer_.name = "earlier";
  DoubleClickRow(4);
  for (const auto& [command, name] : main_.sent) {
    EXPECT_NE(command, CommandId(Command::kSearchOpen));
  }
  EXPECT_EQ(buffer_.name, "earlier");

  buffer_.Release();
  main_.sent.clear();
  DoubleClickRow(4);
  ASSERT_FALSE(main_.sent.empty());
  EXPECT_EQ(main_.sent.back(), Sent(Command::kSearchOpen, window_->EntryAt(4)));
}

TEST_F(SearchWindowTest, RightClickAsksForTheNavigationPanel) {
  Click(window_->List()->viewport(), Qt::RightButton, QPoint(5, 5));
  Click(window_.get(), Qt::RightButton, QPoint(50, 54));
  ASSERT_EQ(main_.sent.size(), 2u);
  EXPECT_EQ(main_.sent[0].first, CommandId(Command::kTogglePanel));
  EXPECT_EQ(main_.sent[1].first, CommandId(Command::kTogglePanel));
  EXPECT_EQ(window_->SelectedIndex(), SearchNames::kNone);  // the right click selects nothing
}

TEST_F(SearchWindowTest, SelectNameFromTheMainWindow) {
  buffer_.busy = true;  // as inside a request: the selection is not announced
  window_->SelectName("zwerch");
  EXPECT_EQ(window_->SelectedName(), "Zwerchfell");
  EXPECT_EQ(FieldText(), "ZWERCHFELL");
  EXPECT_TRUE(main_.sent.empty());

  window_->SelectName("Niere");
  EXPECT_EQ(window_->SelectedIndex(), SearchNames::kNone);
  EXPECT_EQ(FieldText(), "");

  buffer_.Release();
  window_->SelectName("ostium");
  ASSERT_EQ(main_.sent.size(), 1u);
  EXPECT_EQ(main_.sent[0], Sent(Command::kAnnouncePage, std::string("Ostium")));
  window_->AnnounceSelection();
  EXPECT_EQ(main_.sent.size(), 2u);
}

TEST_F(SearchWindowTest, TypingIntoTheListSelectsByPrefix) {
  window_->List()->setFocus();
  SendText(window_->List(), "ze");
  EXPECT_EQ(window_->SelectedName(), "Zwerchfell");
  EXPECT_EQ(FieldText(), "ZWERCHFELL");
}

TEST(SearchWindowSelection, TheListShowsItsSelectionInTheHighlightColourWhileInactive) {
  const test::PaleInactiveHighlight pale;
  TransferBuffer buffer;
  RecordingMain main{buffer};
  const SynonymList synonyms;
  SearchWindow window(nullptr, synonyms, buffer, main);
  window.resize(205, 300);
  for (const char* name : {"Aorta", "Milz", "Zwerchfell"}) window.AddName(name);
  window.RemoveDuplicates();
  window.show();
  window.Field()->setText("MI");
  ASSERT_EQ(window.SelectedName(), "Milz");
  NameList* list = window.List();
  const QColor highlight = list->palette().color(QPalette::Active, QPalette::Highlight);
  ASSERT_NE(highlight, QColor(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(test::SelectionColourWhileInactive(*list), highlight);
}

TEST(SearchWindowWithoutSynonyms, AMissingFileSwitchesTranslationOff) {
  test::TempTree tree;
  TransferBuffer buffer;
  RecordingMain main{buffer};
  SynonymList synonyms;
  EXPECT_FALSE(synonyms.LoadFromAtlas(tree.DataPath()));
  SearchWindow window(nullptr, synonyms, buffer, main);
  window.AddName("Cor");
  window.RemoveDuplicates();
  EXPECT_EQ(window.Synonyms().Count(), 0u);
  window.Field()->setText("HERZ");
  EXPECT_EQ(window.SelectedIndex(), SearchNames::kNone);
  window.Field()->setText("CO");
  EXPECT_EQ(window.SelectedName(), "Cor");
}

}  // namespace
}  // namespace ostrelin
