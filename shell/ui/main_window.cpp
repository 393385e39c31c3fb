#include "shell/ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <algorithm>
#include <climits>

#include "image/core/colour_tables.h"
#include "platform/ui/qt_text.h"
#include "resources/core/string_table.h"
#include "platform/ui/wait_message.h"
#include "shell/core/commands.h"
#include "shell/core/display_check.h"
#include "shell/core/index_names.h"
#include "shell/ui/main_menu_bar.h"
#include "shell/ui/start_meldung.h"

namespace ostrelin {

MainWindow::MainWindow(const Settings& settings, const ShellServices& services,
                       const QRect& mainRect)
    : settings_(settings), services_(services),
      mainRect_(mainRect),
      history_(menuModel_.history()),
      bookmarks_(menuModel_.bookmarks(), *services_.messages),
      requests_(catalogue_,
                {&detachedViews_, &detachedViews_, &detachedViews_, &detachedViews_,
                 &detachedViews_, &history_},
                MakeRequestServices()) {
  // The colour tables of the image object, ready before the first image loads.
  InitColourTables();
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor::fromRgb(kBackground));
  setPalette(palette);
  setAutoFillBackground(true);

  menuBar_ = new MainMenuBar(menuModel_, [this](int command) { SendCommand(command); }, this);
  history_.onChanged = [this] { menuBar_->Mirror(MainMenu::kHistoryMenu); };
  bookmarks_.onChanged = [this] { menuBar_->Mirror(MainMenu::kBookmarkMenu); };
}

RequestServices MainWindow::MakeRequestServices() {
  return {services_.waitCursor, [this](bool on) { WaitMessage(on, this); }, services_.media};
}

void MainWindow::AttachViews(ImageView& image, TextView& text, NavigationView& navigation,
                             SearchView& search, ImageTypeButtons& buttons) {
  requests_.SetViews({&image, &text, &navigation, &search, &buttons, &history_});
}

void MainWindow::SendCommand(int command) {
  if (requests_.Command(command)) return;
  TransferBuffer& buffer = requests_.buffer();
  if (history_.Choose(command, buffer)) {
    SendCommand(cmd::kHistoryRequest);
  } else if (bookmarks_.Command(command, requests_.currentType(), requests_.lastRequestedName(),
                                buffer)) {
    SendCommand(cmd::kBookmarkRequest);
  } else if (command == cmd::kEnd) {
    close();
  }
}

void MainWindow::StopMedia() {
  if (services_.media) services_.media->StopMedia();
}

MainWindow::~MainWindow() = default;

bool MainWindow::Start() {
  // The greeting plays while the catalogue loads; without the file (or a sound device) it is
  // silent.
  if (services_.media) services_.media->PlayWave(LoadText(text::kFileStartSound));
  (*services_.waitCursor)(true);

  progress_ = std::make_unique<StartMeldung>();
  progress_->show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // let it appear now

  // The frame: caption and system menu only, no sizing border, no minimise or maximise box; it
  // covers the whole screen.
  setWindowTitle(ToQString(LoadText(text::kProgramName)));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  KeepToMainRect();
  hide();

  if (!CheckDisplay()) {
    EndStartup();
    return false;
  }

  if (!catalogue_.LoadLists(settings_.DataPath)) {
    services_.messages->Show(LoadText(text::kDataNotFound), MessageButtons::Ok,
                             MessageIcon::Exclamation);
    EndStartup();
    return false;
  }

  // Fill the index while the bar counts every name; the list removes duplicates afterwards, so it
  // may end up shorter than the bar was long.
  progress_->SetRange(int(std::min<size_t>(IndexNameCount(catalogue_), INT_MAX)));
  ForEachIndexName(catalogue_, [this](const std::string&) { progress_->Step(); });

  (*services_.waitCursor)(false);
  requests_.PostStartRequest();
  progress_.reset();
  userName_ = kDefaultUser;
  bookmarks_.LoadBookmarks(settings_.SavePath, userName_);
  // The image window and the navigation panel are shown here once they exist.
  requests_.ProcessStartRequest();
  return true;
}

void MainWindow::EndStartup() {
  progress_.reset();
  (*services_.waitCursor)(false);
}

bool MainWindow::CheckDisplay() {
  const std::string message = DisplayCheckMessage(services_.queryDisplay(this));
  if (message.empty()) return true;
  return services_.messages->Show(message, MessageButtons::YesNo, MessageIcon::Question) !=
         MessageAnswer::Yes;
}

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
