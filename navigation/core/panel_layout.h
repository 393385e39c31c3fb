#pragma once
// Where the navigation panel's buttons sit: two rows under the pictogram, sized from the panel so
// that they scale with the screen. On the 1024 x 768 design screen the panel is about 205 units
// wide and a button is 48 wide, the size of its bitmap.

#include "platform/core/rect.h"

namespace ostrelin {

struct PanelLayout {
  int buttonWidth = 0;   // f
  int buttonHeight = 0;  // h
  int margin = 0;        // left margin that centres four buttons
  // Upper row: the region buttons.
  Rect head, trunk, arm, leg;
  // Lower row: sex button, the step control (its two arrows stacked), confirm button.
  Rect sex, steps, confirm;
};

// The layout of a panel of `width` x `height` pixels.
PanelLayout ComputePanelLayout(int width, int height);

// The step control's two arrows inside a control of `width` x `height`: the upper in the upper
// half, the lower one pixel further down than the half.
struct ArrowLayout {
  Rect upper, lower;
};
ArrowLayout ComputeArrowLayout(int width, int height);

}  // namespace ostrelin
