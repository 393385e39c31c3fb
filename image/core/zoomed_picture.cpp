#include "image/core/zoomed_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ostrelin {

ZoomedPicture::ZoomedPicture(const SourceImage& source, float zoom) {
  if (source.Empty() || !(zoom >= 0.3f && zoom <= 5.0f)) return;
  if (zoom >= 1.0f) {
    repeat_ = static_cast<int>(zoom);
  } else {
    step_ = static_cast<int>(std::lround(1.0f / zoom));
  }
  sourceWidth_ = source.width;
  sourceHeight_ = source.height;
  width_ = repeat_ > 1 ? source.width * repeat_ : (source.width - 1) / step_ + 1;
  height_ = repeat_ > 1 ? source.height * repeat_ : (source.height - 1) / step_ + 1;
  pixels_.resize(Stride() * std::size_t(height_));
  for (int y = 0; y < height_; ++y) {
    // Picture row y (from the top) shows source row r (from the bottom).
    const int r = (height_ - 1 - y) / repeat_ * step_;
    const std::uint8_t* from = source.Row(r);
    std::uint8_t* to = pixels_.data() + std::size_t(y) * Stride();
    for (int x = 0; x < width_; ++x, to += 3) {
      std::memcpy(to, from + std::size_t(x / repeat_ * step_) * 3, 3);
    }
  }
}

Bgr ZoomedPicture::At(int x, int y) const {
  const std::uint8_t* p = pixels_.data() + std::size_t(y) * Stride() + std::size_t(x) * 3;
  return {p[0], p[1], p[2]};
}

void ZoomedPicture::Plot(ImagePoint p, Bgr colour) {
  if (p.column < 0 || p.column >= sourceWidth_ || p.row < 0 || p.row >= sourceHeight_) return;
  const int x = p.column * repeat_ / step_;
  const int bottom = p.row * repeat_ / step_;  // counted upward
  for (int dy = 0; dy < repeat_; ++dy) {
    const int y = height_ - 1 - (bottom + dy);
    if (y < 0) break;
    std::uint8_t* pixel = pixels_.data() + std::size_t(y) * Stride() + std::size_t(x) * 3;
    for (int dx = 0; dx < repeat_ && x + dx < width_; ++dx, pixel += 3) {
      pixel[0] = colour.blue;
      pixel[1] = colour.green;
      pixel[2] = colour.red;
    }
  }
}

void ZoomedPicture::PlotPoints(Bgr colour, std::span<const ImagePoint> points) {
  for (const ImagePoint& p : points) Plot(p, colour);
}

void ZoomedPicture::DrawVLine(int column, int from, int to, Bgr colour) {
  from = std::max(from, 0);
  to = std::min(to, sourceHeight_ - 1);
  for (int row = from; row <= to; ++row) Plot({column, row}, colour);
}

}  // namespace ostrelin
