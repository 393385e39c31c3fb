#include "platform/ui/list_selection.h"

#include <QAbstractItemView>
#include <QPalette>

namespace ostrelin {

void ShowSelectionAlways(QAbstractItemView& view) {
  QPalette palette = view.palette();
  for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setBrush(QPalette::Inactive, role, palette.brush(QPalette::Active, role));
  }
  view.setPalette(palette);
}

}  // namespace ostrelin
