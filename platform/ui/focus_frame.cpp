#include "platform/ui/focus_frame.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>

namespace ostrelin {
namespace {

bool keyboardInUse = false;

bool IsModifierOnly(int key) {
  return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
         key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

// Watches every key and mouse press of the application.
class KeyboardUseFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::ShortcutOverride:  // a key that a shortcut takes never arrives as a press
        if (!IsModifierOnly(static_cast<QKeyEvent*>(event)->key())) SetKeyboardInUse(true);
        break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::TouchBegin: SetKeyboardInUse(false); break;
      default: break;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void FollowKeyboardUse() {
  static QPointer<KeyboardUseFilter> filter;
  if (filter || !qApp) return;
  filter = new KeyboardUseFilter(qApp);
  qApp->installEventFilter(filter);
}

bool KeyboardInUse() { return keyboardInUse; }

void SetKeyboardInUse(bool inUse) {
  if (keyboardInUse == inUse) return;
  keyboardInUse = inUse;
  if (QWidget* focus = QApplication::focusWidget()) focus->update();
}

bool FocusFrameShown(const QWidget& widget) { return keyboardInUse && widget.hasFocus(); }

void PaintFocusFrame(QPainter& painter, const QRect& area, const QWidget& widget, int inset) {
  if (!FocusFrameShown(widget)) return;
  painter.save();
  painter.setPen(QPen(widget.palette().color(QPalette::Highlight), kFocusFrameWidth));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area.adjusted(inset + 1, inset + 1, -inset - 1, -inset - 1));
  painter.restore();
}

void PaintFocusBorder(QPainter& painter, const QRect& outer, const QWidget& widget,
                      const QColor& background) {
  const bool shown = FocusFrameShown(widget);
  const QColor highlight = widget.palette().color(QPalette::Highlight);
  painter.save();
  painter.setBrush(Qt::NoBrush);
  for (int ring = 0; ring < kFocusFrameWidth; ++ring) {
    painter.setPen(shown ? highlight : ring == 0 ? QColor(Qt::black) : background);
    painter.drawRect(outer.adjusted(ring, ring, -ring - 1, -ring - 1));
  }
  painter.restore();
}

FocusLine::FocusLine(QWidget& owner) : QWidget(&owner), owner_(owner) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  FollowKeyboardUse();
}

void FocusLine::paintEvent(QPaintEvent*) {
  if (!FocusFrameShown(owner_)) return;
  QPainter painter(this);
  painter.fillRect(rect(), owner_.palette().color(QPalette::Highlight));
}

}  // namespace ostrelin
