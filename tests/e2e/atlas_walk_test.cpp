// The whole atlas on a small generated data tree, driven as a student drives it: the start page,
// a plane picked on the pictogram and opened, the image-type buttons, page and structure links,
// the index, history, bookmarks, the text menus, F1, the panel switch and closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <memory>
#include <string>
#include <vector>

#include "search/ui/search_window.h"
#include "hypertext/ui/text_panel.h"
#include "navigation/ui/navigation_panel.h"
#include "navigation/ui/step_control_widget.h"
#include "platform/core/cp1252.h"
#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "platform/ui/picture_button.h"
#include "shell/core/commands.h"
#include "app/main_menu_bar.h"
#include "app/main_window.h"
#include "structures/core/outline_file.h"
#include "structures/ui/image_window.h"
#include "tests/support/image_samples.h"
#include "tests/support/outline_samples.h"
#include "tests/support/recording_cursor.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/scripted_shell.h"

namespace ostrelin {
namespace {

using test::Box;
using test::TempTree;
using test::WithCrLf;

// A plain grey 24-bit BMP of the given size.
std::string Outline(std::vector<OutlineRecord> records) {
  std::string bytes, error;
  EXPECT_TRUE(EncodeOutline({"Test", std::move(records)}, bytes, error)) << error;
  return bytes;
}

class RecordingMedia : public Media {
 public:
  void StopMedia() override { ++stops; }
  void PlayMedia(const std::string& name) override { played.push_back(name); }
  void PlayWave(const std::string& name) override { waves.push_back(name); }
  int stops = 0;
  std::vector<std::string> played;
  std::vector<std::string> waves;
};

class AtlasWalkTest : public testing::Test {
 protected:
  AtlasWalkTest() {
    WriteTree();
    settings_.DataPath = tree_.DataPath();
    settings_.SavePath = tree_.DataPath() + "Benutzer\\";
    shell_.services.media = &media_;
    shell_.services.showStartDialog = [this](QWidget*, const std::string& dataPath) {
      startDialogPath_ = dataPath;
    };
    window_ = std::make_unique<MainWindow>(settings_, shell_.services, QRect(0, 0, 1024, 768));
  }

  void WriteTree() {
    const auto cp = [](const char* utf8) { return Utf8ToCp1252(utf8); };
    tree_.Write("Daten/Index.LST",
                WithCrLf(cp("/ name # text # Schnitt # CT # MR # Schema # structure # type # sex "
                            "# region # plane\n"
                            "START # start.txt # # # # start.bmp # # P # M # U # Gesamt\n"
                            "Herz # herz.txt # herz_s.bmp # herz_c.bmp # # # Herz # S # M # R "
                            "# Herz\n"
                            "Becken # becken.txt # becken_s.bmp # # # # # S # M # R # Becken\n"
                            "Hilfe-Übersicht # hilfe.txt # # # # # # # M # U # Hilfe\n")));
    tree_.Write("Daten/Struktur.LST",
                WithCrLf("Aorta # Herz # SC\nHerz # Herz # S\nBlase # Becken # S\n"));
    tree_.Write("Daten/SM_AUSW.POS", WithCrLf("Gesamt # 40\n"));
    tree_.Write("Daten/SM_RUMPF.POS", WithCrLf("Herz # 30\nBecken # 80\n"));
    tree_.Write("Daten/SYNONYMS.LST", WithCrLf("COR # HERZ\n"));
    tree_.Write("Bilder/Schema/start.bmp", test::PlainBmp(40, 30, 0x80));
    tree_.Write("Bilder/Schnitt/herz_s.bmp", test::PlainBmp(64, 48, 0x80));
    tree_.Write("Bilder/Schnitt/herz_s.dat",
                Outline({Box(1, "Herz", 10, 30, 10, 30), Box(2, "Aorta", 40, 50, 20, 40)}));
    tree_.Write("Bilder/CT/herz_c.bmp", test::PlainBmp(80, 60, 0x80));
    tree_.Write("Bilder/CT/herz_c.dat", Outline({Box(1, "Aorta", 40, 50, 20, 40)}));
    tree_.Write("Bilder/Schnitt/becken_s.bmp", test::PlainBmp(52, 52, 0x80));
    tree_.Write("Bilder/Schnitt/becken_s.dat", Outline({Box(1, "Blase", 5, 25, 5, 25)}));
    tree_.Write("Texte/Schema/start.txt",
                WithCrLf("#/H:Willkommen#\nZum #/L:Herz# geht es hier.\n"));
    tree_.Write("Texte/Schnitt/herz.txt",
                WithCrLf("#/H:Herz#\nDie #/P:Aorta# entspringt hier. Weiter zum "
                         "#/L:Becken#.\n"));
    tree_.Write("Texte/CT/herz.txt", WithCrLf("#/H:Herz im CT#\nText.\n"));
    tree_.Write("Texte/Schnitt/becken.txt", WithCrLf("#/H:Becken#\nDie Blase.\n"));
    tree_.Write("Texte/Other/hilfe.txt", WithCrLf("#/H:Hilfe#\nSo geht es.\n"));
    tree_.Write("Texte/Other/_KEINTXT.TXT", WithCrLf("#/H:Kein Text#\n"));
    tree_.MakeDir("Benutzer");
  }

  const IndexEntry& Page() { return window_->requests().currentPage(); }
  std::string TextName() { return window_->textPanel()->currentTextName(); }
  std::string FirstTextLine() {
    const auto& lines = window_->textPanel()->layout().lines;
    return lines.empty() ? std::string() : lines.front();
  }
  int ImageWidth() {
    const JpgBild* image = window_->imageWindow()->Image();
    return image ? image->Width() : 0;
  }
  bool Enabled(MainLayout::Button button) { return window_->button(button)->isEnabled(); }

  void Choose(int id) {
    QAction* action = window_->menuBar()->ActionFor(id);
    ASSERT_NE(action, nullptr) << id;
    ASSERT_TRUE(action->isEnabled()) << id;
    action->trigger();
    QCoreApplication::processEvents();
  }

  // Clicks the text panel where its link with `target` is shown.
  void ClickLink(const std::string& target) {
    TextPanel* panel = window_->textPanel();
    QWidget* viewport = panel->viewport();
    for (int y = 2; y < viewport->height(); y += 3) {
      for (int x = 2; x < viewport->width(); x += 3) {
        if (panel->HitAt({x, y}).target != target) continue;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        return;
      }
    }
    ADD_FAILURE() << "no link to " << target;
  }

  void Key(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
  }

  TempTree tree_;
  Settings settings_;
  test::ScriptedShell shell_;
  RecordingMedia media_;
  std::string startDialogPath_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(AtlasWalkTest, FromTheStartPageThroughPanelButtonsLinksIndexHistoryAndBookmarks) {
  ASSERT_TRUE(window_->Start());
  window_->show();
  QCoreApplication::processEvents();
  EXPECT_TRUE(shell_.messages.shown.empty());
  EXPECT_EQ(startDialogPath_, settings_.DataPath);
  EXPECT_EQ(media_.waves, std::vector<std::string>{"START.WAV"});

  // The start page: its Schema image and its text; the index holds every name once.
  EXPECT_EQ(Page().name, "START");
  EXPECT_EQ(window_->currentType(), kSchema);
  EXPECT_EQ(ImageWidth(), 40);
  EXPECT_TRUE(window_->imageWindow()->isVisible());
  EXPECT_EQ(TextName(), "start.txt");
  EXPECT_NE(FirstTextLine().find("Willkommen"), std::string::npos);
  EXPECT_TRUE(Enabled(MainLayout::kSchema));
  EXPECT_FALSE(Enabled(MainLayout::kSchnitt));
  EXPECT_EQ(window_->searchWindow()->Count(), 6);  // four pages, Aorta and Blase ("Herz" twice)

  // The trunk pictogram; the upper arrow selects the next plane, the confirm button opens it.
  NavigationPanel* panel = window_->navigationPanel();
  EXPECT_EQ(panel->State().PictogramResource(), "SM_AUSW");
  panel->TrunkButton()->click();
  EXPECT_EQ(panel->State().PictogramResource(), "SM_RUMPF");
  panel->Steps()->Step(true);
  EXPECT_EQ(Page().name, "Becken");  // announced: current, not shown yet
  EXPECT_TRUE(Enabled(MainLayout::kSchnitt));
  EXPECT_FALSE(Enabled(MainLayout::kSchema));
  EXPECT_EQ(ImageWidth(), 40);

  // A click on the pictogram near the first plane's line, then the confirm button.
  (void)panel->grab();  // the paint records the panel's size in design units
  const int lineY = 30 * panel->State().DesignHeight() / 100;
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, lineY + 3), QPointF(40, lineY + 3),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(panel, &press);
  EXPECT_EQ(panel->State().SelectedName(), "Herz");
  panel->ConfirmButton()->click();
  EXPECT_EQ(Page().name, "Herz");
  EXPECT_EQ(window_->currentType(), kSchnitt);
  EXPECT_EQ(ImageWidth(), 64);
  EXPECT_EQ(TextName(), "herz.txt");
  EXPECT_EQ(window_->imageWindow()->LastHighlightedName(), "Herz");  // the default structure

  // The image-type buttons follow the page: CT shows the CT image and its text.
  EXPECT_TRUE(Enabled(MainLayout::kCT));
  EXPECT_FALSE(Enabled(MainLayout::kMR));
  window_->button(MainLayout::kCT)->click();
  EXPECT_EQ(window_->currentType(), kCT);
  EXPECT_EQ(ImageWidth(), 80);
  EXPECT_NE(FirstTextLine().find("Herz im CT"), std::string::npos);
  window_->button(MainLayout::kSchnitt)->click();
  EXPECT_EQ(ImageWidth(), 64);

  // A structure link highlights on the image; a page link opens its page.
  ClickLink("Aorta");
  EXPECT_EQ(window_->imageWindow()->LastHighlightedName(), "Aorta");
  EXPECT_EQ(window_->searchWindow()->SelectedName(), "Aorta");  // 9060 selects it in the index
  ClickLink("Becken");
  EXPECT_EQ(Page().name, "Becken");
  EXPECT_EQ(ImageWidth(), 52);
  EXPECT_EQ(panel->State().SelectedName(), "Becken");  // the panel follows the page

  // The index: Bild/Index shows it with the keyboard in its search field, so a synonym typed at
  // once finds the entry; Enter opens it.
  QApplication::setActiveWindow(window_.get());
  window_->button(MainLayout::kBildIndex)->setFocus();  // as the mouse press gives it
  window_->button(MainLayout::kBildIndex)->click();
  EXPECT_FALSE(window_->panelShown());
  EXPECT_TRUE(window_->searchWindow()->isVisible());
  EXPECT_FALSE(panel->isVisible());
  SearchWindow* search = window_->searchWindow();
  ASSERT_EQ(QApplication::focusWidget(), search->Field());
  for (const char letter : {'c', 'o', 'r'}) {
    Key(QApplication::focusWidget(), Qt::Key_A + (letter - 'a'), QString(QLatin1Char(letter)));
  }
  EXPECT_EQ(search->Field()->text(), "COR");
  EXPECT_EQ(search->SelectedName(), "Herz");
  Key(search->Field(), Qt::Key_Return);
  EXPECT_EQ(Page().name, "Herz");
  EXPECT_EQ(ImageWidth(), 64);

  // Back to the panel: it announces its plane, so the buttons follow that plane's page.
  window_->button(MainLayout::kBildIndex)->click();
  EXPECT_TRUE(window_->panelShown());
  EXPECT_TRUE(panel->isVisible());
  EXPECT_FALSE(search->isVisible());
  // The keyboard follows (the window's focus: the wait message may have taken the activation).
  EXPECT_TRUE(panel->isAncestorOf(window_->focusWidget()));
  EXPECT_EQ(Page().name, panel->State().SelectedName());

  // A bookmark on the shown page, then elsewhere, then the bookmark and the history back.
  Choose(CommandId(Command::kSetBookmark));
  Choose(CommandId(Command::kHistoryStart));
  EXPECT_EQ(Page().name, "START");
  Choose(CommandId(Command::kFirstBookmark));
  EXPECT_EQ(Page().name, "Herz");
  EXPECT_EQ(window_->currentType(), kSchnitt);
  int herzEntry = 0;
  for (int id = CommandId(Command::kFirstHistoryEntry); id <= CommandId(Command::kLastHistoryEntry);
       ++id) {
    const MenuItem* entry = window_->menuModel().Find(id);
    if (entry && entry->text == "(C) Herz") herzEntry = id;
  }
  ASSERT_NE(herzEntry, 0);
  Choose(CommandId(Command::kHistoryStart));
  Choose(herzEntry);
  EXPECT_EQ(Page().name, "Herz");
  EXPECT_EQ(window_->currentType(), kCT);  // the entry brings its image type back

  // Closing with Yes writes the bookmark file.
  shell_.messages.Script({MessageAnswer::Yes});
  EXPECT_TRUE(window_->close());
  const auto saved = ReadFileBytes(tree_.Root() / "Benutzer" / "BENUTZER.BKM");
  ASSERT_TRUE(saved.has_value());
  EXPECT_NE(saved->find("(S) Herz"), std::string::npos) << *saved;
}

TEST_F(AtlasWalkTest, TextMenusReLayTheTextAndHelpOpensTheHelpPage) {
  ASSERT_TRUE(window_->Start());
  window_->show();
  QCoreApplication::processEvents();

  const int mediumLines = int(window_->textPanel()->layout().lines.size());
  Choose(CommandId(Command::kFontLarge));
  EXPECT_EQ(window_->textPanel()->heights().body, 20);
  EXPECT_TRUE(window_->menuModel().Find(CommandId(Command::kFontLarge))->checked);
  EXPECT_FALSE(window_->menuModel().Find(CommandId(Command::kFontLarge))->enabled);
  EXPECT_TRUE(window_->menuModel().Find(CommandId(Command::kFontMedium))->enabled);
  EXPECT_GE(int(window_->textPanel()->layout().lines.size()), mediumLines);
  Choose(CommandId(Command::kFontSmall));
  EXPECT_EQ(window_->textPanel()->heights().body, 12);

  Choose(CommandId(Command::kTextInvisible));
  EXPECT_FALSE(window_->textVisible());
  EXPECT_NE(FirstTextLine().find("Kein Text"), std::string::npos);
  EXPECT_TRUE(window_->menuModel().Find(CommandId(Command::kTextVisible))->enabled);
  EXPECT_FALSE(window_->menuModel().Find(CommandId(Command::kTextInvisible))->enabled);
  Choose(CommandId(Command::kTextVisible));
  EXPECT_NE(FirstTextLine().find("Willkommen"), std::string::npos);

  // F1 (a shortcut of the whole application), "&Index" and the Hilfe button open the help
  // overview.
  QShortcut* f1 = nullptr;
  for (QShortcut* shortcut : window_->findChildren<QShortcut*>()) {
    if (shortcut->key() == QKeySequence(Qt::Key_F1)) f1 = shortcut;
  }
  ASSERT_NE(f1, nullptr);
  EXPECT_EQ(f1->context(), Qt::ApplicationShortcut);
  emit f1->activated();
  EXPECT_EQ(Page().name, Utf8ToCp1252("Hilfe-Übersicht"));
  EXPECT_EQ(TextName(), "hilfe.txt");
  Choose(CommandId(Command::kHistoryStart));
  Choose(CommandId(Command::kHelpIndex));
  EXPECT_EQ(Page().name, Utf8ToCp1252("Hilfe-Übersicht"));
  Choose(CommandId(Command::kHistoryStart));
  window_->button(MainLayout::kHilfe)->click();
  EXPECT_EQ(Page().name, Utf8ToCp1252("Hilfe-Übersicht"));

  // The context help of the image window names a page this tree lacks: the no-object text.
  window_->SendCommand(CommandId(Command::kContextHelp));
  EXPECT_EQ(window_->requests().lastRequestedName(), Utf8ToCp1252("Hilfe-Kontextmenü"));
}

TEST_F(AtlasWalkTest, LayoutPlacesTheChildrenBelowTheMenuBarOnTheDesignScale) {
  ASSERT_TRUE(window_->Start());
  window_->show();
  QCoreApplication::processEvents();
  const MainLayout& layout = window_->layout();
  const int bar = window_->menuBar()->height();
  EXPECT_EQ(layout.imageWidth, 819);
  EXPECT_EQ(window_->imageWindow()->geometry().topLeft(), QPoint(0, bar));
  EXPECT_EQ(window_->imageWindow()->width(), 819);
  EXPECT_EQ(window_->textPanel()->geometry().top(), bar + layout.imageHeight);
  EXPECT_EQ(window_->navigationPanel()->geometry().left(), 819);
  EXPECT_EQ(window_->searchWindow()->geometry(), window_->navigationPanel()->geometry());
  EXPECT_EQ(window_->button(MainLayout::kHilfe)->geometry().bottom(),
            bar + layout.buttonTop + 3 * layout.rowHeight - 1);
  // Only one of navigation panel and search window is shown and enabled.
  EXPECT_TRUE(window_->navigationPanel()->isVisible());
  EXPECT_FALSE(window_->searchWindow()->isVisible());
  EXPECT_FALSE(window_->searchWindow()->isEnabled());
}

}  // namespace
}  // namespace ostrelin
