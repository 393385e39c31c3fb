#pragma once

#include <cstdint>
#include <span>

namespace ostrelin {

// A colour as the 24-bit bitmaps store it: written blue, green, red.
struct Bgr {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  friend bool operator==(const Bgr&, const Bgr&) = default;
};

inline constexpr Bgr kHighlightGreen{0, 255, 0};
inline constexpr Bgr kConfusionRed{0, 0, 255};

// A source-image pixel: columns from the left edge, rows upward from the bottom edge.
struct ImagePoint {
  int column = 0;
  int row = 0;
  friend bool operator==(const ImagePoint&, const ImagePoint&) = default;
};

// The two drawing primitives of the image object into its zoomed bitmap, on which the structure
// highlighting is built. Coordinates are source-image pixels; the image object maps them through
// its zoom and visible rectangle and skips what lies outside.
class PointPlotter {
 public:
  virtual ~PointPlotter() = default;

  // Plots every point of the list in the colour.
  virtual void PlotPoints(Bgr colour, std::span<const ImagePoint> points) = 0;

  // Plots the rows from..to (inclusive) of one column, clamped to the visible rows.
  virtual void DrawVLine(int column, int from, int to, Bgr colour) = 0;
};

}  // namespace ostrelin
