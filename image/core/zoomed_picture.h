#pragma once
// The whole image at a zoom, for saving and copying what the image window shows: unlike the
// window's zoomed bitmap, which holds only the visible part, this holds every pixel of the image,
// magnified by repetition (zoom 1 to 5) or reduced by sampling every second or third pixel (zoom
// 1/2, 1/3) the way the window does. Structures are drawn into it through the same PointPlotter
// interface the highlighting uses.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "image/core/point_plotter.h"
#include "image/core/source_image.h"

namespace ostrelin {

class ZoomedPicture final : public PointPlotter {
 public:
  // An empty picture (0 x 0) for an empty source or a zoom outside 1/3 to 5.
  ZoomedPicture(const SourceImage& source, float zoom);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  // Blue-green-red pixels, the top row first, Stride() bytes a row.
  std::size_t Stride() const { return std::size_t(width_) * 3; }
  const std::uint8_t* Top() const { return pixels_.data(); }
  // The pixel at (x, y), y counted downward from the top row.
  Bgr At(int x, int y) const;

  void PlotPoints(Bgr colour, std::span<const ImagePoint> points) override;
  void DrawVLine(int column, int from, int to, Bgr colour) override;

 private:
  void Plot(ImagePoint p, Bgr colour);

  int repeat_ = 1;  // magnification: each pixel becomes a repeat x repeat block
  int step_ = 1;    // reduction: every step-th column and row
  int sourceWidth_ = 0;
  int sourceHeight_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace ostrelin
