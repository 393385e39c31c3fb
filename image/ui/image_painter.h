#pragma once
// Painting the image object in Qt: the zoomed bitmap below the status strip, the strip with the
// zoom factor, and the scroll-bar state applied to the window's bars.

#include <QImage>

#include "image/core/jpg_bild.h"

class QPainter;
class QScrollBar;

namespace ostrelin {

// The strip's background, RGB(192, 192, 192).
inline constexpr QRgb kStripGrey = 0xFFC0C0C0;

// The zoomed bitmap as a QImage over the image object's own memory, without a copy: read-only
// and valid until the object's next SetZoom, rebuild or Release. A null image when there is no
// zoomed bitmap.
QImage ZoomedImage(const JpgBild& image);

// Paints the image object into the device `painter` is open on: the zoomed bitmap with its top
// left corner at (0, 20), the strip from (0, 0) to (zoomed width, 20) in light grey with the text
// "  Zoom: %4.2f   " at its left, then recomputes the scroll-bar state (ScrollBars()). The strip's
// text uses the painter's font.
void PaintJpgBild(QPainter& painter, JpgBild& image);

// Sets the window's scroll bars to the state the image object computed.
void ApplyScrollBars(const ScrollBarState& state, QScrollBar& horizontal, QScrollBar& vertical);

}  // namespace ostrelin
