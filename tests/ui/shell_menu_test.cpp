// The main window's menu bar mirrored from the menu model, the start request, the history and the
// bookmarks as the user meets them: loaded at start-up, chosen from the menus, saved on closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "shell/core/commands.h"
#include "app/main_menu_bar.h"
#include "app/main_window.h"
#include "tests/support/recording_cursor.h"
#include "tests/support/recording_views.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using Lines = std::vector<std::string>;
using test::WithCrLf;

QStringList Texts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts << (action->isSeparator() ? QStringLiteral("--") : action->text());
  }
  return texts;
}

class ShellMenuTest : public testing::Test {
 protected:
  ShellMenuTest() : waitCursor_(cursors_), views_(log_) {
    tree_.Write("Daten/Index.LST",
                WithCrLf("START # start.txt # # # # start.jpg # # P # M # U # Gesamt\n"
                         "Herz # herz.txt # herz1.jpg # # # # # S # M # R # Herz\n"
                         "Arm & Hand # arm.txt # arm.jpg # # # # # S # M # A # Arm\n"));
    tree_.Write("Daten/Struktur.LST", WithCrLf("Aorta # Herz # S\n"));
    tree_.MakeDir("Benutzer");
    settings_.DataPath = tree_.DataPath();
    settings_.SavePath = tree_.DataPath() + "Benutzer\\";
    services_.messages = &messages_;
    services_.waitCursor = &waitCursor_;
    services_.queryDisplay = [](const QWidget*) { return DisplayInfo{24, 1024}; };
    services_.media = &views_;
    services_.showStartDialog = [](QWidget*, const std::string&) {};
  }

  std::unique_ptr<MainWindow> StartWindow() {
    auto window = std::make_unique<MainWindow>(settings_, services_, QRect(0, 0, 1024, 768));
    window->AttachViews(views_, views_, views_, views_, views_);
    EXPECT_TRUE(window->Start());
    return window;
  }

  // Chooses the menu item that sends `id`, as a click does; its command runs from the event loop.
  static void Choose(MainWindow& window, int id) {
    QAction* action = window.menuBar()->ActionFor(id);
    ASSERT_NE(action, nullptr) << id;
    ASSERT_TRUE(action->isEnabled()) << id;
    action->trigger();
    QCoreApplication::processEvents();
  }

  std::string BookmarkFile() const {
    return ReadFileBytes(tree_.Root() / "Benutzer" / "BENUTZER.BKM").value_or("<none>");
  }

  test::TempTree tree_;
  Settings settings_;
  ScriptedMessageService messages_;
  test::RecordingCursorService cursors_;
  WaitCursor waitCursor_;
  test::CallLog log_;
  test::RecordingViews views_;
  ShellServices services_;
};

TEST_F(ShellMenuTest, TheBarShowsSixMenusWithHelpAtTheRightEnd) {
  auto window = StartWindow();
  window->show();
  const MainMenuBar* bar = window->menuBar();
  QStringList titles;
  for (const QAction* action : bar->actions()) titles << action->text();
  EXPECT_EQ(titles, (QStringList{"&Modus", "&Text", "&Schriftgröße", "Hist&ory", "&Lesezeichen"}));
  EXPECT_EQ(bar->actions().at(3)->menu(), bar->MenuAt(MainMenu::kHistoryMenu));
  EXPECT_EQ(bar->actions().at(4)->menu(), bar->MenuAt(MainMenu::kBookmarkMenu));

  auto* help = qobject_cast<QMenuBar*>(bar->cornerWidget(Qt::TopRightCorner));
  ASSERT_NE(help, nullptr);
  ASSERT_EQ(help->actions().size(), 1);
  EXPECT_EQ(help->actions().at(0)->text(), "&Hilfe");
  EXPECT_EQ(help->actions().at(0)->menu(), bar->MenuAt(5));
  EXPECT_GT(help->geometry().left(), bar->width() / 2);  // at the right end
  EXPECT_EQ(Texts(bar->MenuAt(5)), (QStringList{"&Index\tF1", "--", "Über &Karvolen"}));

  EXPECT_EQ(Texts(bar->MenuAt(0)), (QStringList{"&Lernen", "Abfrage", "--", "&Ende"}));
  const QAction* learn = bar->ActionFor(cmd::kLearn);
  EXPECT_TRUE(learn->isChecked());
  EXPECT_FALSE(learn->isEnabled());
  EXPECT_EQ(bar->ActionFor(cmd::kQuizStructureToName)->text(), "Struktur --> Name");
  EXPECT_TRUE(bar->ActionFor(cmd::kFontMedium)->isChecked());
  EXPECT_EQ(Texts(bar->MenuAt(4)), (QStringList{"setzen", "löschen", "--"}));
  EXPECT_EQ(bar->geometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(bar->width(), window->width());
}

TEST_F(ShellMenuTest, StartUpShowsTheStartPageAndRecordsItInTheHistory) {
  auto window = StartWindow();
  const Lines shown = log_.Only({"stop", "load", "select-page", "history"});
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.front(), "stop");
  EXPECT_EQ(log_.Only({"load"}), Lines{"load Bilder\\Schema\\start.jpg"});
  EXPECT_EQ(log_.Only({"select-page"}), Lines{"select-page 0 0 Gesamt"});
  EXPECT_EQ(Texts(window->menuBar()->MenuAt(MainMenu::kHistoryMenu)),
            (QStringList{"(G) Start", "--", "(G) START"}));
  EXPECT_FALSE(window->transferBuffer().busy);
  EXPECT_EQ(window->currentType(), 3);
}

TEST_F(ShellMenuTest, HistoryAndBookmarkEntriesAreChosenFromTheMenus) {
  tree_.Write("Benutzer/BENUTZER.BKM", "/ gespeichert\r\n(S) Herz\r\n\r\n(S) Arm & Hand\r\n");
  auto window = StartWindow();
  QMenu* bookmarks = window->menuBar()->MenuAt(MainMenu::kBookmarkMenu);
  EXPECT_EQ(Texts(bookmarks),
            (QStringList{"setzen", "löschen", "--", "(S) Herz", "(S) Arm && Hand"}));

  log_.Clear();
  Choose(*window, 1176);  // "(S) Arm & Hand"
  EXPECT_EQ(log_.Only({"load"}), Lines{"load Bilder\\Schnitt\\arm.jpg"});
  EXPECT_EQ(window->requests().currentPage().name, "Arm & Hand");
  EXPECT_EQ(Texts(window->menuBar()->MenuAt(MainMenu::kHistoryMenu)),
            (QStringList{"(G) Start", "--", "(G) START", "(S) Arm && Hand"}));

  log_.Clear();
  Choose(*window, cmd::kHistoryStart);  // back to the start page, in Schema
  EXPECT_EQ(log_.Only({"load"}), Lines{"load Bilder\\Schema\\start.jpg"});
  EXPECT_EQ(Texts(window->menuBar()->MenuAt(MainMenu::kHistoryMenu)).back(), "(G) START");
  EXPECT_EQ(window->requests().lastRequestedName(), "Start");

  Choose(*window, cmd::kSetBookmark);
  Choose(*window, cmd::kDeleteBookmark);
  Choose(*window, cmd::kSetBookmark);
  EXPECT_EQ(Texts(bookmarks),
            (QStringList{"setzen", "löschen", "--", "(S) Herz", "(S) Arm && Hand", "(G) Start"}));
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(ShellMenuTest, ConfirmedClosingSavesTheBookmarksThenStopsMedia) {
  tree_.Write("Benutzer/BENUTZER.BKM", "(S) Herz\r\n");
  auto window = StartWindow();
  window->show();
  Choose(*window, cmd::kSetBookmark);

  messages_.Script({MessageAnswer::No});
  Choose(*window, cmd::kEnd);  // "&Ende" asks like the window's close button
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(BookmarkFile(), "(S) Herz\r\n");

  log_.Clear();
  messages_.Script({MessageAnswer::Yes});
  EXPECT_TRUE(window->close());
  EXPECT_EQ(BookmarkFile(), "(S) Herz\r\n(G) START\r\n");
  EXPECT_EQ(log_.lines(), Lines{"stop"});
  EXPECT_EQ(messages_.shown.size(), 2u);
}

TEST_F(ShellMenuTest, ABookmarkFileThatCannotBeWrittenIsReportedAndTheWindowStillCloses) {
  settings_.SavePath = tree_.DataPath() + "Fehlt\\";
  auto window = StartWindow();
  window->show();
  Choose(*window, cmd::kSetBookmark);
  messages_.Script({MessageAnswer::Yes});
  EXPECT_TRUE(window->close());
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_EQ(messages_.shown[1].text, "Bookmark-Datei kann nicht gespeichert werden:\n" +
                                         settings_.SavePath + "BENUTZER.BKM");
}

TEST_F(ShellMenuTest, WithoutMediaAndWindowsTheStartPageIsStillProcessed) {
  services_.media = nullptr;
  auto window = std::make_unique<MainWindow>(settings_, services_, QRect(0, 0, 1024, 768));
  ASSERT_TRUE(window->Start());
  EXPECT_EQ(window->requests().currentPage().name, "START");
  EXPECT_EQ(window->requests().lastImagePath(), "Bilder\\Schema\\start.jpg");
  EXPECT_EQ(Texts(window->menuBar()->MenuAt(MainMenu::kHistoryMenu)),
            (QStringList{"(G) Start", "--", "(G) START"}));
}

}  // namespace
}  // namespace ostrelin
