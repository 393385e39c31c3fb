#pragma once
// Where the main window's children sit. The arrangement was designed for a 1024 x 768 screen and
// is scaled by the design scale: the image window at the top left, the text panel below it, the
// navigation panel (or the search window in its place) at the top right, and below that two
// columns of three picture buttons. Computed once; the main window cannot be resized.

#include <array>

#include "platform/core/design_scale.h"
#include "platform/core/rect.h"

namespace ostrelin {

struct MainLayout {
  // The picture buttons in creation order.
  enum Button { kSchnitt, kCT, kMR, kSchema, kBildIndex, kHilfe, kButtonCount };

  DesignScale scale;
  int imageWidth = 0;
  int imageHeight = 0;
  int columnWidth = 0;
  int rowHeight = 0;
  int buttonTop = 0;

  Rect image;
  Rect text;
  Rect panel;  // the navigation panel, and the search window in the same place
  std::array<Rect, kButtonCount> buttons;
};

// The layout of a main window whose outer rectangle is `outerWidth` x `outerHeight` and whose
// client area (below caption and menu bar) is `clientWidth` x `clientHeight`; `thumbWidth` is the
// width of a horizontal scroll-bar thumb, which sets the image window's height.
MainLayout ComputeMainLayout(int outerWidth, int outerHeight, int clientWidth, int clientHeight,
                             int thumbWidth);

}  // namespace ostrelin
