#pragma once
// Dialog units: the layout units of the atlas's dialogs, tied to the dialog font. One horizontal
// unit is a quarter of the font's average character width, one vertical unit an eighth of its
// height, so a dialog keeps its proportions with whatever font it is given.

#include <QFont>
#include <QRect>
#include <QSize>

namespace ostrelin {

// The font of the atlas's classic dialogs at `points`: the old sans-serif dialog face where
// installed, else the sans-serif face the atlas uses everywhere.
QFont DialogFont(int points);

class DialogUnits {
 public:
  // Base units of `font`: the average width of "A".."Z" and "a".."z", rounded, and the font height
  // (ascent + descent), in pixels.
  explicit DialogUnits(const QFont& font);
  DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }

  // Dialog units to pixels, rounded to the nearest pixel.
  int ToPixelsX(int x) const;
  int ToPixelsY(int y) const;
  // A rectangle of (x, y, width, height) in dialog units to pixels; each value is converted by
  // itself, as the dialog templates give them.
  QRect ToPixels(const QRect& rect) const;
  QSize ToPixels(const QSize& size) const;

 private:
  int baseX_;
  int baseY_;
};

}  // namespace ostrelin
