#include "platform/ui/make_font.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "platform/ui/qt_text.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

// The em size in pixels whose cell (ascent + descent) is `cellHeight` pixels, measured on the face
// at a large size where hinting does not distort the ratio.
int EmForCellHeight(const QFont& font, int cellHeight) {
  constexpr int kReferenceEm = 256;
  QFont probe(font);
  probe.setPixelSize(kReferenceEm);
  const QFontMetricsF metrics(probe);
  const qreal cell = metrics.ascent() + metrics.descent();
  if (cell <= 0) return cellHeight;
  return std::max(1, static_cast<int>(std::lround(cellHeight * kReferenceEm / cell)));
}

}  // namespace

bool MakeFont(QFont& font, int height, bool bold) {
  const std::string& face = LoadText(text::kFontFace);
  if (face.empty() || face == kTextNotFound) return false;

  QFont made;  // the application's font size stands for the default height
  made.setFamily(ToQString(face));
  made.setWeight(bold ? QFont::Bold : QFont::Normal);
  made.setItalic(false);
  made.setUnderline(false);
  made.setStrikeOut(false);
  // No screen font is taller than this; it also keeps -height clear of overflow.
  constexpr int kMaxHeight = 32767;
  height = std::clamp(height, -kMaxHeight, kMaxHeight);
  if (height < 0) {
    made.setPixelSize(-height);
  } else if (height > 0) {
    made.setPixelSize(EmForCellHeight(made, height));
  }
  font = made;
  return true;
}

}  // namespace ostrelin
