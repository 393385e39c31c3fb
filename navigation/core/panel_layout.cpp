#include "navigation/core/panel_layout.h"

namespace ostrelin {

PanelLayout ComputePanelLayout(int width, int height) {
  PanelLayout l;
  // 0.0048828125 x 48 = 15 / 64: a 48-pixel button on a 204.8-pixel panel.
  l.buttonWidth = int(width * 0.0048828125 * 48);
  l.buttonHeight = int(static_cast<long long>(height) * 48 / 512);
  l.margin = (width - 4 * l.buttonWidth) / 2;
  const int f = l.buttonWidth;
  const int h = l.buttonHeight;
  const int m = l.margin;

  const int upper = height - 2 * h - 10;
  l.head = {m, upper, f, h};
  l.trunk = {m + f, upper, f, h};
  l.arm = {m + 2 * f, upper, f, h};
  l.leg = {m + 3 * f, upper, f, h};

  const int lower = height - h - 5;
  l.sex = {m, lower, f, h};
  l.steps = {m + int(1.5 * f), lower, f, h};
  l.confirm = {m + 3 * f, lower, f, h};
  return l;
}

ArrowLayout ComputeArrowLayout(int width, int height) {
  const int half = height / 2;
  return {{0, 0, width, half}, {0, half + 1, width, half}};
}

}  // namespace ostrelin
