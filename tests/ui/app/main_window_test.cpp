// Start-up, the display check, the fixed frame and closing of the main window, driven with a
// scripted message service and a fixed display.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QTranslator>

#include "platform/core/scripted_message_service.h"
#include "resources/core/string_table.h"
#include "shell/core/commands.h"
#include "app/karvolen_app.h"
#include "app/main_menu_bar.h"
#include "app/main_window.h"
#include "app/qt_translations.h"
#include "search/ui/search_window.h"
#include "hypertext/ui/text_panel.h"
#include "navigation/ui/navigation_panel.h"
#include "navigation/ui/step_control_widget.h"
#include "platform/ui/picture_button.h"
#include "structures/ui/image_window.h"
#include "tests/support/image_samples.h"
#include "tests/support/recording_cursor.h"
#include "tests/support/recording_views.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::RecordingCursorService;
using test::TempTree;
using test::WithCrLf;

const QRect kScreen(0, 0, 1024, 768);

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() : waitCursor_(cursors_) {
    services_.messages = &messages_;
    services_.waitCursor = &waitCursor_;
    services_.queryDisplay = [this](const QWidget*) { return display_; };
    services_.showStartDialog = [this](QWidget*, const std::string&) { ++startDialogs_; };
  }

  void WriteLists() {
    tree_.Write("Daten/Index.LST",
                WithCrLf("/ pages\n"
                         "START # start.txt # # # # # # P # M # U # Gesamt\n"
                         "Herz # herz.txt # herz1.jpg # # # # # S # M # R # Herz\n"));
    tree_.Write("Daten/Struktur.LST",
                WithCrLf("Aorta # Herz # S\nAorta # Herz # C\nHerz # Herz # S\n"));
    settings_.DataPath = tree_.DataPath();
  }

  std::unique_ptr<MainWindow> MakeWindow() {
    return std::make_unique<MainWindow>(settings_, services_, kScreen);
  }

  TempTree tree_;
  Settings settings_;
  ScriptedMessageService messages_;
  RecordingCursorService cursors_;
  WaitCursor waitCursor_;
  DisplayInfo display_{24, 1024};
  ShellServices services_;
  int startDialogs_ = 0;
};

TEST_F(MainWindowTest, StartsOnAGoodDisplayWithoutAQuestion) {
  WriteLists();
  auto window = MakeWindow();
  ASSERT_TRUE(window->Start());
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(window->catalogue().PageCount(), 2u);
  EXPECT_EQ(window->catalogue().LocationCount(), 2u);
  EXPECT_EQ(window->windowTitle(), "Ostrelin");
  EXPECT_EQ(window->userName(), "BENUTZER");
  EXPECT_EQ(window->currentType(), 3);  // the start page was requested; it prefers Schema
  EXPECT_TRUE(window->textVisible());
  // Caption and system menu only: no way to minimise, maximise or resize.
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  // The hourglass went on and came off again.
  ASSERT_FALSE(cursors_.shown.empty());
  EXPECT_EQ(cursors_.shown.front().shape, CursorShape::Wait);
  EXPECT_EQ(cursors_.current, CursorShape::Arrow);
  // No progress message is left behind.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(w != window.get() && w->isVisible()) << w->metaObject()->className();
  }
}

TEST_F(MainWindowTest, MissingListsEndTheStartUpWithOneMessage) {
  for (const bool withIndex : {false, true}) {
    SCOPED_TRACE(withIndex ? "Struktur.LST missing" : "both lists missing");
    messages_.shown.clear();
    if (withIndex)
      tree_.Write("Daten/Index.LST", WithCrLf("START # s.txt # # # # # # P # M # U # x\n"));
    settings_.DataPath = tree_.DataPath();
    auto window = MakeWindow();
    EXPECT_FALSE(window->Start());
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, "Daten nicht gefunden! Programm wird abgebrochen!");
    EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(cursors_.current, CursorShape::Arrow);
  }
}

struct DisplayCase {
  DisplayInfo display;
  std::string question;
  friend void PrintTo(const DisplayCase& c, std::ostream* os) {
    *os << c.display.bitsPerPixel << " bits at " << c.display.horizontalResolution;
  }
};

class DisplayQuestionTest : public MainWindowTest,
                            public testing::WithParamInterface<DisplayCase> {};

TEST_P(DisplayQuestionTest, YesStopsBeforeTheDataIsRead) {
  display_ = GetParam().display;
  messages_.Script({MessageAnswer::Yes});
  auto window = MakeWindow();  // no lists at all: Yes must stop before they are missed
  EXPECT_FALSE(window->Start());
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, GetParam().question);
  EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Question);
}

TEST_P(DisplayQuestionTest, NoStartsNormally) {
  WriteLists();
  display_ = GetParam().display;
  messages_.Script({MessageAnswer::No});
  auto window = MakeWindow();
  EXPECT_TRUE(window->Start());
  EXPECT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(window->catalogue().PageCount(), 2u);
}

const std::string kColours = "Die Anzahl der Farben ist zu gering! Beenden ?";
const std::string kResolution = "Die Aufl\xF6sung ist sehr gering ! Beenden ?";

INSTANTIATE_TEST_SUITE_P(PoorDisplays, DisplayQuestionTest,
                         testing::Values(DisplayCase{{8, 1024}, kColours},
                                         DisplayCase{{16, 640}, kResolution},
                                         DisplayCase{{8, 640}, kColours + "\n" + kResolution}));

TEST_F(MainWindowTest, ClosingAsksAfterTheQuestionBeepAndNoKeepsItOpen) {
  WriteLists();
  auto window = MakeWindow();
  ASSERT_TRUE(window->Start());
  window->show();
  messages_.Script({MessageAnswer::No, MessageAnswer::Yes});

  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(messages_.beeps.size(), 1u);
  EXPECT_EQ(messages_.beeps[0], MessageIcon::Question);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, "Beenden! Sind Sie sicher ?");
  EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::YesNo);

  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(messages_.beeps.size(), 2u);
}

TEST_F(MainWindowTest, GreetsWithTheStartSoundAndStopsMediaAtTheStartRequestAndOnExit) {
  WriteLists();
  test::CallLog log;
  test::RecordingViews media(log);
  services_.media = &media;
  auto window = MakeWindow();
  ASSERT_TRUE(window->Start());
  ASSERT_GE(log.lines().size(), 2u);
  EXPECT_EQ(log.lines()[0], "wave START.WAV");
  EXPECT_EQ(log.lines()[1], "stop");  // before the start page is processed

  window->show();
  log.Clear();
  messages_.Script({MessageAnswer::No});
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(log.lines().empty());  // No leaves whatever plays
  messages_.Script({MessageAnswer::Yes});
  EXPECT_TRUE(window->close());
  EXPECT_EQ(log.lines(), std::vector<std::string>{"stop"});
}

TEST_F(MainWindowTest, CoversTheScreenSnapsBackWhenMovedAndPaintsItsGrey) {
  WriteLists();
  auto window = MakeWindow();
  ASSERT_TRUE(window->Start());
  window->show();
  EXPECT_EQ(window->frameGeometry(), kScreen);
  window->move(100, 50);
  EXPECT_EQ(window->pos(), kScreen.topLeft());
  const QImage shot = window->grab().toImage();
  // The one row between the navigation panel and the buttons below it is the window's own.
  const MainLayout& layout = window->layout();
  const int barHeight = window->menuBar()->height();
  EXPECT_EQ(shot.pixel(layout.imageWidth + 5, barHeight + layout.imageHeight),
            MainWindow::kBackground);
}

TEST_F(MainWindowTest, EveryControlHasAGermanNameAndTheFocusRunsImageTextPanelButtons) {
  WriteLists();
  auto window = MakeWindow();
  ASSERT_TRUE(window->Start());
  window->show();
  ImageWindow& image = *window->imageWindow();
  NavigationPanel& panel = *window->navigationPanel();
  SearchWindow& search = *window->searchWindow();
  QWidget* field = search.findChild<QLineEdit*>();
  QWidget* list = search.findChild<QListView*>();
  // Name, and word for word what the control says it does (null: it only has to say something).
  struct Expected {
    QWidget* widget;
    const char* name;
    const char* description;
  };
  const std::vector<Expected> expected = {
      {window->button(MainLayout::kSchnitt), "Schnitt", "Zeigt das Schnittbild der Seite"},
      {window->button(MainLayout::kCT), "CT", "Zeigt das CT-Bild der Seite"},
      {window->button(MainLayout::kMR), "MR", "Zeigt das MR-Bild der Seite"},
      {window->button(MainLayout::kSchema), "Schema", "Zeigt die Schemazeichnung der Seite"},
      {window->button(MainLayout::kBildIndex), "Bild/Index",
       "Wechselt zwischen der Bildauswahl und dem Index"},
      {window->button(MainLayout::kHilfe), "Hilfe", "Öffnet die Hilfe-Übersicht"},
      {panel.SexButton(), "Geschlecht",
       "Wechselt zwischen der männlichen und der weiblichen Serie"},
      {panel.ConfirmButton(), "Ebene öffnen", "Zeigt die gewählte Ebene"},
      {panel.HeadButton(), "Kopf", "Wählt die Körperregion Kopf"},
      {panel.TrunkButton(), "Rumpf", "Wählt die Körperregion Rumpf"},
      {panel.ArmButton(), "Arm", "Wählt die Körperregion Arm"},
      {panel.LegButton(), "Bein", "Wählt die Körperregion Bein"},
      {panel.Steps()->UpperButton(), "Ebene aufwärts", "Wählt die nächste Ebene darüber"},
      {panel.Steps()->LowerButton(), "Ebene abwärts", "Wählt die nächste Ebene darunter"},
      {image.ZoomBar(), "Vergrößerung", nullptr},
      {image.OverviewBox(), "Übersicht", nullptr},
      {image.FullViewBox(), "Vollansicht", nullptr},
      {&image, "Bildfenster", nullptr},
      {window->textPanel(), "Beschreibungstext", nullptr},
      {field, "Suchbegriff",
       "Die eingegebenen Anfangsbuchstaben wählen den passenden Namen im Index"},
      {list, "Index", "Alle Namen der Seiten und Strukturen des Atlas"},
  };
  for (const auto& [widget, name, description] : expected) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(face, nullptr) << name;
    EXPECT_EQ(face->text(QAccessible::Name), QString::fromUtf8(name));
    // Buttons and boxes say what they do; the windows what they show.
    const bool described = !face->text(QAccessible::Description).isEmpty() || widget == field ||
                           widget == window->textPanel();
    EXPECT_TRUE(described) << name;
    if (description) {
      EXPECT_EQ(face->text(QAccessible::Description), QString::fromUtf8(description)) << name;
    }
  }
  // The text panel reads out its text and its links.
  tree_.Write("Texte/Other/herz.txt", WithCrLf("#/H:Herz#\nDas #/L:Perikard# umgibt es.\n"));
  window->textPanel()->ShowText("herz.txt", true, -1);
  const QString text =
      QAccessible::queryAccessibleInterface(window->textPanel())->text(QAccessible::Description);
  EXPECT_TRUE(text.contains("Das Perikard umgibt es.")) << text.toStdString();
  EXPECT_TRUE(text.endsWith("Verweise: Perikard")) << text.toStdString();

  // The focus visits the image window, the text panel, the panel's controls, then the buttons.
  std::vector<QWidget*> order;
  QWidget* at = &image;
  do {
    if ((at->focusPolicy() & Qt::TabFocus) && at->isVisibleTo(window.get()) && at->isEnabled()) {
      order.push_back(at);
    }
    at = at->nextInFocusChain();
  } while (at != &image && order.size() < 40);
  ASSERT_GE(order.size(), 4u);
  EXPECT_EQ(order[1], window->textPanel());
  EXPECT_TRUE(panel.isAncestorOf(order[2]));
  EXPECT_EQ(order.back(), window->button(MainLayout::kHilfe));
}

// Rows of `a` and `b` that differ, as "first-last" spans.
std::vector<int> DifferingRows(const QImage& a, const QImage& b) {
  std::vector<int> rows;
  for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
    for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) {
        rows.push_back(y);
        break;
      }
    }
  }
  return rows;
}

TEST_F(MainWindowTest, F6GoesFromPaneToPaneAndTheFocusShowsOnlyForKeysOverNothingShown) {
  WriteLists();
  tree_.Write("Bilder/Schnitt/herz1.bmp", test::PlainBmp(600, 500, 0x60));
  tree_.Write("Texte/Other/herz.txt", WithCrLf("Das Herz liegt links, hinter dem Brustbein.\n"));
  auto window = MakeWindow();
  ASSERT_TRUE(window->Start());
  window->show();
  QApplication::setActiveWindow(window.get());
  ImageWindow& image = *window->imageWindow();
  ASSERT_TRUE(image.LoadImage("Bilder\\Schnitt\\herz1.bmp", false));
  TextPanel& text = *window->textPanel();
  text.ShowText("herz.txt", true, -1);
  QShortcut* next = nullptr;
  QShortcut* previous = nullptr;
  for (QShortcut* shortcut : window->findChildren<QShortcut*>()) {
    if (shortcut->key() == QKeySequence(Qt::Key_F6)) next = shortcut;
    if (shortcut->key() == QKeySequence(Qt::SHIFT | Qt::Key_F6)) previous = shortcut;
  }
  ASSERT_NE(next, nullptr);
  ASSERT_NE(previous, nullptr);
  EXPECT_EQ(next->context(), Qt::ApplicationShortcut);
  const auto press = [](QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(to, &event);
  };
  const auto click = [](QWidget* on) {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(300, 300), QPointF(300, 300),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(on, &event);
  };

  // Started with the mouse: the image window has the focus and shows no frame.
  click(&image);
  image.setFocus(Qt::MouseFocusReason);
  ASSERT_TRUE(image.hasFocus());
  const QImage imageQuiet = image.grab().toImage();
  const QImage textQuiet = text.grab().toImage();

  // A key brings the frame. F6 (through the key, as the keyboard sends it) goes on to the text
  // panel, which shows its frame in its border, its text untouched.
  press(&image, Qt::Key_Shift);  // a modifier alone is no use of the keyboard
  EXPECT_EQ(image.grab().toImage(), imageQuiet);
  press(&image, Qt::Key_F6);
  EXPECT_TRUE(text.hasFocus());
  EXPECT_EQ(image.grab().toImage(), imageQuiet);  // one frame at a time
  const QImage textFramed = text.grab().toImage();
  EXPECT_EQ(textFramed.pixelColor(0, 0), text.palette().color(QPalette::Highlight));
  EXPECT_EQ(textFramed.copy(text.viewport()->geometry()),
            textQuiet.copy(text.viewport()->geometry()));

  // Back on the image window, its frame is a line along the bottom of the strip, clear of the
  // zoom text above it and of the image below it.
  press(&text, Qt::Key_F6, Qt::ShiftModifier);
  ASSERT_TRUE(image.hasFocus());
  const QImage imageFramed = image.grab().toImage();
  EXPECT_EQ(DifferingRows(imageQuiet, imageFramed), (std::vector<int>{18, 19}));
  EXPECT_EQ(imageFramed.pixelColor(50, 19), image.palette().color(QPalette::Highlight));
  EXPECT_EQ(text.grab().toImage(), textQuiet);

  emit next->activated();
  EXPECT_TRUE(text.hasFocus());
  emit next->activated();
  EXPECT_TRUE(window->navigationPanel()->isAncestorOf(QApplication::focusWidget()));
  emit next->activated();
  EXPECT_TRUE(qobject_cast<PictureButton*>(QApplication::focusWidget()));
  emit next->activated();
  EXPECT_TRUE(image.hasFocus());
  emit previous->activated();
  EXPECT_TRUE(qobject_cast<PictureButton*>(QApplication::focusWidget()));
  emit previous->activated();
  emit previous->activated();
  EXPECT_TRUE(text.hasFocus());

  // With the index shown, it is the third pane.
  window->Send(Command::kTogglePanel);
  emit previous->activated();
  EXPECT_TRUE(text.hasFocus());
  emit next->activated();
  EXPECT_TRUE(window->searchWindow()->isAncestorOf(QApplication::focusWidget()));

  // A mouse press takes the frame away again.
  text.setFocus(Qt::OtherFocusReason);
  click(&text);
  EXPECT_EQ(text.grab().toImage(), textQuiet);
}

TEST_F(MainWindowTest, QtsOwnTextsAreGermanInTheSaveDialog) {
  // Whatever the user's language, Qt's file dialog speaks German with the atlas; the system's
  // dialog would not be Qt's, so the test (like the offscreen platform) gets Qt's own.
  const auto translator = InstallQtTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
  ASSERT_NE(translator, nullptr) << "Qt's translations are not installed";
  WriteLists();
  tree_.Write("Bilder/Schnitt/herz1.bmp", test::PlainBmp(4, 4, 0x80));
  auto window = MakeWindow();
  ASSERT_TRUE(window->Start());
  ImageWindow& image = *window->imageWindow();
  ASSERT_TRUE(image.LoadImage("Bilder\\Schnitt\\herz1.bmp", false));

  QString title;
  QStringList buttons;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    for (const QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons()) {
      buttons << button->text().remove('&');
    }
    dialog->reject();
  });
  image.Command(image_cmd::kSavePicture);
  EXPECT_EQ(title, "Bild speichern...");
  buttons.sort();
  EXPECT_EQ(buttons, QStringList({"Abbrechen", "Speichern"}));
}

TEST(RunKarvolen, WithoutASettingsFileTheProgramEndsWithExitCodeZero) {
  TempTree tree;  // no KARVOLEN.INI: the data path is the root, which holds no catalogue
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(tree.Root());
  ScriptedMessageService messages;
  RecordingCursorService cursors;
  WaitCursor waitCursor(cursors);
  ShellServices services;
  services.messages = &messages;
  services.waitCursor = &waitCursor;
  services.queryDisplay = [](const QWidget*) { return DisplayInfo{32, 1920}; };
  int startDialogs = 0;
  services.showStartDialog = [&startDialogs](QWidget*, const std::string&) { ++startDialogs; };
  const int exitCode = RunKarvolen(services, kScreen);
  std::filesystem::current_path(previous);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(startDialogs, 1);  // the start dialog comes before the data is looked for
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, LoadText(text::kDataNotFound));
}

}  // namespace
}  // namespace ostrelin
