#pragma once
// Measurers for laying out hypertext without fonts: one width per character, or a table of
// proportional widths (something like a sans-serif face, bold one pixel wider).

#include <array>
#include <string_view>

#include "hypertext/core/text_layout.h"

namespace ostrelin::test {

class FixedWidthMeasurer : public TextMeasurer {
 public:
  explicit FixedWidthMeasurer(int body = 10, int heading = 10) : body_(body), heading_(heading) {}
  int Width(SegmentKind kind, std::string_view shown) const override {
    return int(shown.size()) * (kind == SegmentKind::Heading ? heading_ : body_);
  }

 private:
  int body_;
  int heading_;
};

class ProportionalMeasurer : public TextMeasurer {
 public:
  ProportionalMeasurer() {
    for (int c = 0; c < 256; ++c) widths_[c] = 5 + (c * 7) % 6;  // 5 to 10 pixels
    widths_[' '] = 4;
    widths_['i'] = widths_['l'] = 3;
    widths_['m'] = widths_['W'] = 13;
  }
  int Width(SegmentKind kind, std::string_view shown) const override {
    int width = 0;
    const int extra = kind == SegmentKind::Bold ? 1 : 0;
    const int scale = kind == SegmentKind::Heading ? 3 : 2;
    for (unsigned char c : shown) width += widths_[c] * scale / 2 + extra;
    return width;
  }

 private:
  std::array<int, 256> widths_{};
};

}  // namespace ostrelin::test
