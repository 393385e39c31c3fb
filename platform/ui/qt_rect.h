#pragma once
// Rectangles at the Qt edge.

#include <QRect>

#include "platform/core/rect.h"

namespace ostrelin {

inline QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.width, r.height); }
inline Rect FromQRect(const QRect& r) { return Rect{r.x(), r.y(), r.width(), r.height()}; }

}  // namespace ostrelin
