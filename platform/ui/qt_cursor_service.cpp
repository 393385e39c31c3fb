#include "platform/ui/qt_cursor_service.h"

#include <QApplication>
#include <QEvent>

namespace ostrelin {

QtCursorService::~QtCursorService() {
  WatchMouse(false);
  RemoveOverride();
}

CursorShape QtCursorService::Current() const { return overridden_ ? shape_ : CursorShape::Arrow; }

void QtCursorService::Show(CursorShape shape, bool untilMouseMoves) {
  if (untilMouseMoves && shape == CursorShape::Arrow) {
    WatchMouse(false);
    RemoveOverride();
    return;
  }
  SetOverride(shape);
  WatchMouse(untilMouseMoves);
}

bool QtCursorService::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    WatchMouse(false);
    RemoveOverride();
  }
  return QObject::eventFilter(watched, event);
}

QCursor QtCursorService::ToQCursor(CursorShape shape) const {
  switch (shape) {
    case CursorShape::Arrow: return QCursor(Qt::ArrowCursor);
    case CursorShape::Wait: return QCursor(Qt::WaitCursor);
    case CursorShape::NotAllowed: return QCursor(Qt::ForbiddenCursor);
    case CursorShape::Hand: return QCursor(Qt::PointingHandCursor);
    case CursorShape::Custom: return custom_;
  }
  return QCursor(Qt::ArrowCursor);
}

void QtCursorService::SetOverride(CursorShape shape) {
  if (overridden_) {
    QApplication::changeOverrideCursor(ToQCursor(shape));
  } else {
    QApplication::setOverrideCursor(ToQCursor(shape));
    overridden_ = true;
  }
  shape_ = shape;
}

void QtCursorService::RemoveOverride() {
  if (!overridden_) return;
  QApplication::restoreOverrideCursor();
  overridden_ = false;
  shape_ = CursorShape::Arrow;
}

void QtCursorService::WatchMouse(bool on) {
  if (on == watching_ || qApp == nullptr) return;
  if (on) {
    qApp->installEventFilter(this);
  } else {
    qApp->removeEventFilter(this);
  }
  watching_ = on;
}

}  // namespace ostrelin
