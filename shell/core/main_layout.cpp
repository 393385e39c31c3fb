#include "shell/core/main_layout.h"

namespace ostrelin {

MainLayout ComputeMainLayout(int outerWidth, int outerHeight, int clientWidth, int clientHeight,
                             int thumbWidth) {
  MainLayout layout;
  layout.scale = DesignScale::ForWindow(outerWidth, outerHeight);
  layout.imageWidth = layout.scale.ToPixelsX(819);
  layout.imageHeight = layout.scale.ToPixelsY(thumbWidth + 532);
  layout.columnWidth = (clientWidth - layout.imageWidth) / 2;
  layout.rowHeight = (clientHeight - layout.imageHeight) / 3;
  layout.buttonTop = layout.imageHeight + 1;

  const int w = layout.imageWidth;
  const int h = layout.imageHeight;
  layout.image = {0, 0, w, h};
  layout.text = {0, h, w, clientHeight - h};
  layout.panel = {w, 0, clientWidth - w, h};

  const int column = layout.columnWidth;
  const int row = layout.rowHeight;
  for (int b = 0; b < MainLayout::kButtonCount; ++b) {
    // Two per row: Schnitt | CT, MR | Schema, Bild/Index | Hilfe.
    layout.buttons[b] = {w + (b % 2) * column, layout.buttonTop + (b / 2) * row, column, row};
  }
  return layout;
}

}  // namespace ostrelin
