#pragma once
// Where the window "Lernstand" opens: beside the centre of the image window, so the structure a
// "Zeigen" outlines there stays in sight, and on the screen.

#include "platform/core/rect.h"

namespace ostrelin {

// The window's rectangle for a window of `width` x `height` beside the centre of `image` (both
// in screen coordinates), on the side of the centre with more room on `screen`, a small gap away
// from it; narrowed when that side is narrower than the window, moved up when it would leave the
// screen at the bottom.
Rect PlaceBesideCentre(const Rect& image, int width, int height, const Rect& screen);

}  // namespace ostrelin
