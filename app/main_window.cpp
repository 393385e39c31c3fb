// The main window's frame: its fixed place on the screen, the child windows and buttons, the
// layout, the keyboard's way between the panes and the Bild/Index swap.
#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>

#include "resources/core/ui_texts.h"
#include "app/main_menu_bar.h"
#include "app/start_meldung.h"
#include "hypertext/ui/text_panel.h"
#include "image/core/colour_tables.h"
#include "navigation/ui/navigation_panel.h"
#include "platform/core/design_scale.h"
#include "platform/ui/focus_frame.h"
#include "platform/ui/picture_button.h"
#include "platform/ui/qt_rect.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/wait_message.h"
#include "resources/core/string_table.h"
#include "search/ui/search_window.h"
#include "shell/core/commands.h"
#include "structures/ui/image_window.h"
#include "quiz/ui/quiz_mode.h"

namespace ostrelin {

// The four image-type buttons as the request processing sees them.
class MainWindow::TypeButtons : public ImageTypeButtons {
 public:
  explicit TypeButtons(const std::array<PictureButton*, MainLayout::kButtonCount>& buttons)
      : buttons_(buttons) {}

  void SetEnabled(ImageType type, bool enabled) override {
    if (PictureButton* button = Of(type)) button->setEnabled(enabled);
  }
  bool IsEnabled(ImageType type) const override {
    const PictureButton* button = Of(type);
    return button && button->isEnabled();
  }

 private:
  PictureButton* Of(ImageType type) const {
    switch (type) {
      case kSchnitt: return buttons_[MainLayout::kSchnitt];
      case kCT: return buttons_[MainLayout::kCT];
      case kMR: return buttons_[MainLayout::kMR];
      case kSchema: return buttons_[MainLayout::kSchema];
      default: return nullptr;
    }
  }

  const std::array<PictureButton*, MainLayout::kButtonCount>& buttons_;
};

namespace {

struct ButtonFace {
  const char* caption;
  Command command;
  const char* up;
  const char* down;
  const char* disabled;
  const char* description;  // what a screen reader says the button does
};

// In creation order, which is also the layout's button order.
constexpr ButtonFace kButtonFaces[MainLayout::kButtonCount] = {
    {app_text::kSchnittButton, Command::kShowSchnitt, "SCHNITT_UP", "SCHNITT_DOWN",
     "SCHNITT_DISABLED", app_text::kSchnittDescription},
    {app_text::kCTButton, Command::kShowCT, "CT_UP", "CT_DOWN", "CT_DISABLED",
     app_text::kCTDescription},
    {app_text::kMRButton, Command::kShowMR, "MR_UP", "MR_DOWN", "MR_DISABLED",
     app_text::kMRDescription},
    {app_text::kSchemaButton, Command::kShowSchema, "SCHEMA_UP", "SCHEMA_DOWN", "SCHEMA_DISABLED",
     app_text::kSchemaDescription},
    {app_text::kBildIndexButton, Command::kTogglePanel, "IDX_UP", "IDX_DOWN", "IDX_DISABLED",
     app_text::kBildIndexDescription},
    {app_text::kHelpButton, Command::kHelpButton, "HILFE_UP", "HILFE_DOWN", "HILFE_DISABLED",
     app_text::kHelpDescription},
};

// Gives the keyboard focus to the first control inside `container` that takes it by Tab, or to
// the container itself when there is none.
void FocusFirstControl(QWidget& container) {
  for (QWidget* child : container.findChildren<QWidget*>()) {
    if ((child->focusPolicy() & Qt::TabFocus) && child->isEnabled() &&
        child->isVisibleTo(&container)) {
      child->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
  container.setFocus(Qt::OtherFocusReason);
}

}  // namespace

MainWindow::MainWindow(const Settings& settings, const ShellServices& services,
                       const QRect& mainRect)
    : settings_(settings),
      services_(services),
      mainRect_(mainRect),
      history_(menuModel_.history()),
      bookmarks_(menuModel_.bookmarks(), *services_.messages),
      requests_(catalogue_,
                {&detachedViews_, &detachedViews_, &detachedViews_, &detachedViews_,
                 &detachedViews_, &history_},
                MakeRequestServices()) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor::fromRgb(kBackground));
  setPalette(palette);
  setAutoFillBackground(true);

  menuBar_ = new MainMenuBar(
      menuModel_, [this](int command) { SendCommand(command); }, this);
  history_.onChanged = [this] { menuBar_->Mirror(MainMenu::kHistoryMenu); };
  bookmarks_.onChanged = [this] { menuBar_->Mirror(MainMenu::kBookmarkMenu); };
  CreateLayout();
}

void MainWindow::CreateLayout() {
  // The colour tables of the image object, ready before the first image loads.
  InitColourTables();

  // Until the window manager has framed the window, the client area is taken to be the screen
  // below the menu bar; ApplyLayout lays out again once the real size is known.
  const int bar = menuBar_->sizeHint().height();
  thumbWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  layout_ = ComputeMainLayout(mainRect_.width(), mainRect_.height(), mainRect_.width(),
                              mainRect_.height() - bar, thumbWidth_);
  CurrentDesignScale() = layout_.scale;

  synonyms_.LoadFromAtlas(settings_.DataPath);
  TransferBuffer& buffer = requests_.buffer();
  RuntimeRandom& random = services_.random ? *services_.random : ownRandom_;
  image_ = new ImageWindow(this, settings_.DataPath, ClientRect(layout_.image), buffer, *this,
                           *services_.messages, random, services_.waitCursor);
  image_->hide();  // shown at the end of the start-up
  quiz_ = std::make_unique<QuizMode>(*image_, buffer, *this, *services_.messages);
  // The keyboard focus visits the children in the order they are created: the image window, the
  // text panel, the navigation panel or the index, then the picture buttons.
  text_ = new TextPanel(this, settings_.DataPath, buffer, *this, services_.media);
  text_->setGeometry(ClientRect(layout_.text));
  navigation_ =
      new NavigationPanel(this, settings_.DataPath, buffer, *this, ClientRect(layout_.panel));
  search_ = new SearchWindow(this, synonyms_, buffer, *this);
  search_->setGeometry(ClientRect(layout_.panel));
  search_->hide();
  search_->setEnabled(false);
  // A typed quiz answer may use a synonym.
  SynonymPairs synonyms;
  for (size_t i = 0; i < synonyms_.Count(); ++i) {
    synonyms.emplace_back(synonyms_.Synonym(i), synonyms_.Replacement(i));
  }
  quiz_->SetSynonyms(std::move(synonyms));

  for (int b = 0; b < MainLayout::kButtonCount; ++b) {
    if (b == MainLayout::kBildIndex) requests_.SetTextVisible(true);
    const ButtonFace& face = kButtonFaces[b];
    auto* button = new PictureButton(ToQString(face.caption), ClientRect(layout_.buttons[b]), this,
                                     CommandId(face.command));
    button->LoadBitmaps(face.up, face.down, {}, face.disabled);
    button->setAccessibleDescription(ToQString(face.description));
    connect(button, &PictureButton::command, this, [this](int id) { SendCommand(id); });
    buttons_[b] = button;
  }
  typeButtons_ = std::make_unique<TypeButtons>(buttons_);
  AttachViews(*image_, *text_, *navigation_, *search_, *typeButtons_);

  // F1 opens the help overview wherever the focus is.
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  help->setContext(Qt::ApplicationShortcut);
  connect(help, &QShortcut::activated, this, [this] { Send(Command::kHelpIndex); });
  // F6 and Shift+F6 go from pane to pane, wherever the focus is; Tab stays with the image
  // window's structures.
  for (const bool forward : {true, false}) {
    auto* pane = new QShortcut(QKeySequence(forward ? Qt::Key_F6 : Qt::SHIFT | Qt::Key_F6), this);
    pane->setContext(Qt::ApplicationShortcut);
    connect(pane, &QShortcut::activated, this, [this, forward] { FocusNextPane(forward); });
  }
  FollowKeyboardUse();
}

std::vector<QWidget*> MainWindow::Panes() const {
  // In full view the image covers the others.
  if (!image_->NormalView()) return {image_};
  std::vector<QWidget*> panes = {image_, text_};
  panes.push_back(panelShown_ ? static_cast<QWidget*>(navigation_) : search_);
  for (PictureButton* button : buttons_) {
    if (button->isEnabled() && button->isVisible()) {
      panes.push_back(button);  // the buttons are one pane: its first button that takes the keys
      break;
    }
  }
  return panes;
}

void MainWindow::FocusNextPane(bool forward) {
  if (QApplication::activeModalWidget()) return;
  SetKeyboardInUse(true);
  const std::vector<QWidget*> panes = Panes();
  const QWidget* focus = QApplication::focusWidget();
  // The pane that holds the focus; the buttons count as one.
  int current = -1;
  for (size_t i = 0; i < panes.size() && focus; ++i) {
    if (panes[i] == focus || panes[i]->isAncestorOf(focus)) current = int(i);
  }
  for (const PictureButton* button : buttons_) {
    if (button == focus && image_->NormalView()) current = int(panes.size()) - 1;
  }
  const int count = int(panes.size());
  const int next =
      current < 0 ? (forward ? 0 : count - 1) : (current + (forward ? 1 : count - 1)) % count;
  QWidget* pane = panes[size_t(next)];
  activateWindow();
  if (pane == navigation_) {
    FocusFirstControl(*navigation_);
  } else if (pane == search_) {
    search_->Field()->setFocus(Qt::ShortcutFocusReason);
  } else {
    pane->setFocus(Qt::ShortcutFocusReason);
  }
}

QRect MainWindow::ClientRect(const Rect& rect) const {
  // The client area begins below the menu bar.
  return ToQRect(rect).translated(0, menuBar_->sizeHint().height());
}

void MainWindow::ApplyLayout() {
  const int bar = menuBar_->sizeHint().height();
  const MainLayout layout = ComputeMainLayout(mainRect_.width(), mainRect_.height(), width(),
                                              height() - bar, thumbWidth_);
  if (layout.image == layout_.image && layout.text == layout_.text &&
      layout.buttons == layout_.buttons) {
    return;
  }
  layout_ = layout;
  image_->SetNormalRect(ClientRect(layout_.image));
  text_->setGeometry(ClientRect(layout_.text));
  navigation_->setGeometry(ClientRect(layout_.panel));
  search_->setGeometry(ClientRect(layout_.panel));
  for (int b = 0; b < MainLayout::kButtonCount; ++b) {
    buttons_[b]->setGeometry(ClientRect(layout_.buttons[b]));
  }
}

RequestServices MainWindow::MakeRequestServices() {
  return {services_.waitCursor, [this](bool on) { WaitMessage(on, this); }, services_.media};
}

void MainWindow::AttachViews(ImageView& image, TextView& text, NavigationView& navigation,
                             SearchView& search, ImageTypeButtons& buttons) {
  textView_ = &text;
  requests_.SetViews({&image, &text, &navigation, &search, &buttons, &history_});
}

void MainWindow::TogglePanel() {
  PictureButton* toggle = buttons_[MainLayout::kBildIndex];
  toggle->hide();
  panelShown_ = !panelShown_;
  if (!panelShown_) {
    // The button now offers the way back to the pictures.
    toggle->LoadBitmaps("BILD_UP", "BILD_DOWN");
    navigation_->hide();
    navigation_->setEnabled(false);
    navigation_->EnableControls(false);
    search_->show();
    search_->setEnabled(true);
    // Typing searches at once, in place of the name the field shows.
    search_->Field()->setFocus(Qt::OtherFocusReason);
    search_->Field()->selectAll();
    search_->AnnounceSelection();
  } else {
    toggle->LoadBitmaps("IDX_UP", "IDX_DOWN");
    search_->hide();
    search_->setEnabled(false);
    navigation_->show();
    navigation_->setEnabled(true);
    navigation_->EnableControls(true);
    FocusFirstControl(*navigation_);
    navigation_->Announce();
  }
  toggle->show();
}

void MainWindow::StopMedia() {
  if (services_.media) services_.media->StopMedia();
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event) {
  services_.messages->Beep(MessageIcon::Question);
  const MessageAnswer answer = services_.messages->Show(
      LoadText(text::kReallyQuit), MessageButtons::YesNo, MessageIcon::Question);
  if (answer == MessageAnswer::Yes) {
    if (!userName_.empty()) bookmarks_.SaveBookmarks(settings_.SavePath, userName_);
    StopMedia();
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  KeepToMainRect();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  KeepToMainRect();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The bar spans the top; the client area of the child windows begins below it.
  menuBar_->setGeometry(0, 0, width(), menuBar_->sizeHint().height());
  KeepToMainRect();
  ApplyLayout();
}

void MainWindow::KeepToMainRect() {
  // The outer rectangle, frame included, is the whole screen, and a dragged caption snaps back at
  // once. The frame is known only once the window manager has decorated the window, which may be
  // after it is shown, so every move and resize checks again.
  const QSize frame = frameGeometry().size() - geometry().size();
  const QSize client = mainRect_.size() - frame;
  if (size() != client) setFixedSize(client);
  if (pos() != mainRect_.topLeft()) move(mainRect_.topLeft());
}

}  // namespace ostrelin
