#include "platform/ui/dialog_units.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace ostrelin {

QFont DialogFont(int points) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arial")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(points);
  return font;
}

namespace {

// value * base / divisor (divisor > 0), rounded half away from zero.
int Scale(int value, int base, int divisor) {
  const std::int64_t product = static_cast<std::int64_t>(value) * base;
  const std::int64_t magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
  return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  static const QString kAlphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  // Width of the 52 letters divided by 52, rounded: (w / 26 + 1) / 2.
  baseX_ = (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
  baseY_ = metrics.height();
}

int DialogUnits::ToPixelsX(int x) const { return Scale(x, baseX_, 4); }
int DialogUnits::ToPixelsY(int y) const { return Scale(y, baseY_, 8); }

QRect DialogUnits::ToPixels(const QRect& rect) const {
  return {ToPixelsX(rect.x()), ToPixelsY(rect.y()), ToPixelsX(rect.width()),
          ToPixelsY(rect.height())};
}

QSize DialogUnits::ToPixels(const QSize& size) const {
  return {ToPixelsX(size.width()), ToPixelsY(size.height())};
}

}  // namespace ostrelin
