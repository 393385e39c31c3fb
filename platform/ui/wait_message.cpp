#include "platform/ui/wait_message.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <new>

#include "platform/ui/dialog_units.h"
#include "platform/ui/qt_text.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

// The dialog: 48 x 10 dialog units of a 24-point sans-serif font, the text at (4, 1, 43, 7).
constexpr QSize kDialogSize(48, 10);
constexpr QRect kTextRect(4, 1, 43, 7);
constexpr int kFrameWidth = 3;

QWidget* CreateWindow(QWidget* parent) {
  auto* frame = new QFrame(parent, Qt::Dialog | Qt::FramelessWindowHint);
  frame->setAttribute(Qt::WA_ShowWithoutActivating);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  frame->setLineWidth(kFrameWidth);
  frame->setFont(DialogFont(24));

  const DialogUnits units(frame->font());
  const QSize client = units.ToPixels(kDialogSize);
  frame->setFixedSize(client.width() + 2 * kFrameWidth, client.height() + 2 * kFrameWidth);

  auto* label = new QLabel(ToQString(LoadText(text::kPleaseWait)), frame);
  label->setTextFormat(Qt::PlainText);
  // A static text starts at the top of its box: a box lower than the font cuts the descent only.
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(units.ToPixels(kTextRect).translated(kFrameWidth, kFrameWidth));
  return frame;
}

// The parent's screen rectangle, the primary screen's when there is no parent.
QRect ParentRect(const QWidget* parent) {
  if (parent != nullptr) return parent->frameGeometry();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry() : QRect();
}

}  // namespace

WaitMessageService& WaitMessageService::Instance() {
  static WaitMessageService service;
  return service;
}

WaitMessageService::~WaitMessageService() {
  // At program exit the application object may be gone already; widgets cannot outlive it.
  if (QCoreApplication::instance() != nullptr) Destroy();
}

void WaitMessageService::Set(bool on, QWidget* parent) {
  if (!on) {
    Destroy();
    return;
  }
  if (window_ != nullptr) return;

  try {
    window_ = CreateWindow(parent);
  } catch (const std::bad_alloc&) {
    return;  // no memory: the operation goes on without the message
  }

  if (remembered_.isEmpty()) {
    // Centred by the parent's size alone, counted from the screen origin: the first caller is the
    // full-screen main window, so this is the centre of the screen.
    const QRect parentRect = ParentRect(parent);
    const QSize size = window_->size();
    remembered_ = QRect(
        QPoint((parentRect.width() - size.width()) / 2, (parentRect.height() - size.height()) / 2),
        size);
  }
  window_->setGeometry(remembered_);
  window_->show();
  // Let the window be exposed and painted now; input waits until the caller is done.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (window_ != nullptr) window_->repaint();
}

void WaitMessageService::Reset() {
  Destroy();
  remembered_ = QRect();
}

void WaitMessageService::Destroy() {
  delete window_.data();
  window_ = nullptr;
}

void WaitMessage(bool on, QWidget* parent) { WaitMessageService::Instance().Set(on, parent); }

}  // namespace ostrelin
