// The main window's menu bar mirrored from the menu model, the start request, the history and the
// bookmarks as the user meets them: loaded at start-up, chosen from the menus, saved on closing.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "platform/ui/picture_button.h"
#include "shell/core/commands.h"
#include "app/main_menu_bar.h"
#include "app/main_window.h"
#include "tests/support/recording_cursor.h"
#include "tests/support/recording_views.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/scripted_shell.h"

namespace ostrelin {
namespace {

using Lines = std::vector<std::string>;
using test::WithCrLf;

QStringList Texts(const QWidget* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts << (action->isSeparator() ? QStringLiteral("--") : action->text());
  }
  return texts;
}

class ShellMenuTest : public testing::Test {
 protected:
  ShellMenuTest() : views_(log_) {
    tree_.Write("Daten/Index.LST",
                WithCrLf("START # start.txt # # # # start.jpg # # P # M # U # Gesamt\n"
                         "Herz # herz.txt # herz1.jpg # # # # # S # M # R # Herz\n"
                         "Arm & Hand # arm.txt # arm.jpg # # # # # S # M # A # Arm\n"));
    tree_.Write("Daten/Struktur.LST", WithCrLf("Aorta # Herz # S\n"));
    tree_.MakeDir("Benutzer");
    settings_.DataPath = tree_.DataPath();
    settings_.SavePath = tree_.DataPath() + "Benutzer\\";
    shell_.services.media = &views_;
  }

  std::unique_ptr<MainWindow> StartWindow() {
    auto window = std::make_unique<MainWindow>(settings_, shell_.services, QRect(0, 0, 1024, 768));
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
  test::ScriptedShell shell_;
  test::CallLog log_;
  test::RecordingViews views_;
};

TEST_F(ShellMenuTest, TheBarShowsSixMenusWithHelpAtTheRightEnd) {
  auto window = StartWindow();
  window->show();
  const MainMenuBar* bar = window->menuBar();
  // One bar: a separator, never drawn, moves "&Hilfe" to the right end.
  EXPECT_EQ(Texts(bar), (QStringList{"&Modus", "&Text", "&Schriftgröße", "Hist&ory", "&Lesezeichen",
                                     "--", "&Hilfe"}));
  EXPECT_EQ(bar->actions().at(3)->menu(), bar->MenuAt(MainMenu::kHistoryMenu));
  EXPECT_EQ(bar->actions().at(4)->menu(), bar->MenuAt(MainMenu::kBookmarkMenu));
  EXPECT_EQ(bar->cornerWidget(Qt::TopRightCorner), nullptr);

  const QAction* help = bar->actions().at(6);
  EXPECT_EQ(help->menu(), bar->MenuAt(5));
  EXPECT_TRUE(bar->actionGeometry(bar->actions().at(5)).isEmpty());
  const QRect helpPlace = bar->actionGeometry(bar->actions().at(6));
  EXPECT_GT(helpPlace.left(), bar->width() / 2);  // at the right end
  EXPECT_GT(helpPlace.right(), bar->width() - 20);
  EXPECT_EQ(Texts(bar->MenuAt(5)), (QStringList{"&Index\tF1", "--", "Über &Karvolen"}));

  EXPECT_EQ(Texts(bar->MenuAt(0)),
            (QStringList{"&Lernen", "Abfrage", "Lernstand...", "--", "&Ende"}));
  const QAction* learn = bar->ActionFor(CommandId(Command::kLearn));
  EXPECT_TRUE(learn->isChecked());
  EXPECT_FALSE(learn->isEnabled());
  EXPECT_EQ(bar->ActionFor(CommandId(Command::kQuizStructureToName))->text(), "Struktur --> Name");
  EXPECT_TRUE(bar->ActionFor(CommandId(Command::kFontMedium))->isChecked());
  EXPECT_EQ(Texts(bar->MenuAt(4)), (QStringList{"setzen", "löschen", "--"}));
  EXPECT_EQ(bar->geometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(bar->width(), window->width());
}

// The menu open now, if any.
QWidget* OpenMenu() { return QApplication::activePopupWidget(); }

void CloseMenus() {
  while (QWidget* open = OpenMenu()) open->close();
  QCoreApplication::processEvents();
}

void Press(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(to, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(to, &release);
  QCoreApplication::processEvents();
}

TEST_F(ShellMenuTest, RightWalksThroughAllSixMenusAndWrapsFromHilfeToModus) {
  auto window = StartWindow();
  window->show();
  QApplication::setActiveWindow(window.get());
  MainMenuBar* bar = window->menuBar();
  bar->setActiveAction(bar->MenuAt(MainMenu::kBookmarkMenu)->menuAction());
  QCoreApplication::processEvents();
  ASSERT_EQ(OpenMenu(), bar->MenuAt(MainMenu::kBookmarkMenu));
  Press(OpenMenu(), Qt::Key_Right);
  EXPECT_EQ(OpenMenu(), bar->MenuAt(5));
  Press(OpenMenu(), Qt::Key_Right);
  EXPECT_EQ(OpenMenu(), bar->MenuAt(0));
  Press(OpenMenu(), Qt::Key_Left);
  EXPECT_EQ(OpenMenu(), bar->MenuAt(5));
  CloseMenus();
}

TEST_F(ShellMenuTest, AltHOpensHilfeAtEveryPressAndNoPictureButtonTakesAKey) {
  auto window = StartWindow();
  window->show();
  QApplication::setActiveWindow(window.get());
  QCoreApplication::processEvents();
  const QList<PictureButton*> buttons = window->findChildren<PictureButton*>();
  ASSERT_GE(buttons.size(), 14);  // the six below the panel, the panel's eight
  const auto accessibleName = [](PictureButton* button) {
    return QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
  };
  for (PictureButton* button : buttons) {
    EXPECT_TRUE(button->shortcut().isEmpty()) << button->text().toStdString();
    EXPECT_FALSE(accessibleName(button).isEmpty());
  }
  EXPECT_EQ(accessibleName(window->button(MainLayout::kHilfe)), "Hilfe");

  const std::string requested = window->requests().lastRequestedName();
  for (int press = 1; press <= 3; ++press) {
    Press(window.get(), Qt::Key_H, Qt::AltModifier, QStringLiteral("h"));
    EXPECT_EQ(OpenMenu(), window->menuBar()->MenuAt(5)) << "press " << press;
    CloseMenus();
  }
  EXPECT_EQ(window->requests().lastRequestedName(), requested);  // the button was not pressed
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
  Choose(*window, CommandId(Command::kHistoryStart));  // back to the start page, in Schema
  EXPECT_EQ(log_.Only({"load"}), Lines{"load Bilder\\Schema\\start.jpg"});
  EXPECT_EQ(Texts(window->menuBar()->MenuAt(MainMenu::kHistoryMenu)).back(), "(G) START");
  EXPECT_EQ(window->requests().lastRequestedName(), "Start");

  Choose(*window, CommandId(Command::kSetBookmark));
  Choose(*window, CommandId(Command::kDeleteBookmark));
  Choose(*window, CommandId(Command::kSetBookmark));
  EXPECT_EQ(Texts(bookmarks),
            (QStringList{"setzen", "löschen", "--", "(S) Herz", "(S) Arm && Hand", "(G) Start"}));
  EXPECT_TRUE(shell_.messages.shown.empty());
}

TEST_F(ShellMenuTest, ConfirmedClosingSavesTheBookmarksThenStopsMedia) {
  tree_.Write("Benutzer/BENUTZER.BKM", "(S) Herz\r\n");
  auto window = StartWindow();
  window->show();
  Choose(*window, CommandId(Command::kSetBookmark));

  shell_.messages.Script({MessageAnswer::No});
  Choose(*window, CommandId(Command::kEnd));  // "&Ende" asks like the window's close button
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(BookmarkFile(), "(S) Herz\r\n");

  log_.Clear();
  shell_.messages.Script({MessageAnswer::Yes});
  EXPECT_TRUE(window->close());
  EXPECT_EQ(BookmarkFile(), "(S) Herz\r\n(G) START\r\n");
  EXPECT_EQ(log_.lines(), Lines{"stop"});
  EXPECT_EQ(shell_.messages.shown.size(), 2u);
}

TEST_F(ShellMenuTest, ABookmarkFileThatCannotBeWrittenIsReportedAndTheWindowStillCloses) {
  settings_.SavePath = tree_.DataPath() + "Fehlt\\";
  auto window = StartWindow();
  window->show();
  Choose(*window, CommandId(Command::kSetBookmark));
  shell_.messages.Script({MessageAnswer::Yes});
  EXPECT_TRUE(window->close());
  ASSERT_EQ(shell_.messages.shown.size(), 2u);
  EXPECT_EQ(shell_.messages.shown[1].text, "Bookmark-Datei kann nicht gespeichert werden:\n" +
                                               settings_.SavePath + "BENUTZER.BKM");
}

TEST_F(ShellMenuTest, WithoutMediaAndWindowsTheStartPageIsStillProcessed) {
  shell_.services.media = nullptr;
  auto window = std::make_unique<MainWindow>(settings_, shell_.services, QRect(0, 0, 1024, 768));
  ASSERT_TRUE(window->Start());
  EXPECT_EQ(window->requests().currentPage().name, "START");
  EXPECT_EQ(window->requests().lastImagePath(), "Bilder\\Schema\\start.jpg");
  EXPECT_EQ(Texts(window->menuBar()->MenuAt(MainMenu::kHistoryMenu)),
            (QStringList{"(G) Start", "--", "(G) START"}));
}

}  // namespace
}  // namespace ostrelin
