#pragma once
// The frame that shows which window has the keyboard focus: the windows of the atlas paint
// themselves (pictures, bitmaps, the text panel), so each draws this frame over its content.

class QPainter;
class QRect;
class QWidget;

namespace ostrelin {

inline constexpr int kFocusFrameWidth = 2;

// Draws the frame `inset` pixels inside `area` in the highlight colour when `widget` has the
// focus. Buttons inset it, as push buttons always have, so their faces keep their edges.
void PaintFocusFrame(QPainter& painter, const QRect& area, const QWidget& widget, int inset = 0);
inline constexpr int kButtonFocusInset = 3;

}  // namespace ostrelin
