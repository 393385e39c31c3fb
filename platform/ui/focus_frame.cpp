#include "platform/ui/focus_frame.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

namespace ostrelin {

void PaintFocusFrame(QPainter& painter, const QRect& area, const QWidget& widget, int inset) {
  if (!widget.hasFocus()) return;
  painter.save();
  painter.setPen(QPen(widget.palette().color(QPalette::Highlight), kFocusFrameWidth));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area.adjusted(inset + 1, inset + 1, -inset - 1, -inset - 1));
  painter.restore();
}

}  // namespace ostrelin
