#pragma once
// A decoded source image whose every pixel is given by a function of its column and its row
// (row 0 at the bottom, as the image stores it), for the tests of what is done with the pixels.

#include <cstddef>
#include <cstdint>

#include "image/core/point_plotter.h"
#include "image/core/source_image.h"

namespace ostrelin::test {

template <typename PixelFunction>  // Bgr (int column, int row)
SourceImage PaintedImage(int width, int height, PixelFunction pixelOf) {
  SourceImage image;
  image.width = width;
  image.height = height;
  image.pixels.reset(new std::uint8_t[image.Bytes()]);
  for (int r = 0; r < height; ++r) {
    std::uint8_t* at = image.Row(r);
    for (int c = 0; c < width; ++c, at += 3) {
      const Bgr p = pixelOf(c, r);
      at[0] = p.blue;
      at[1] = p.green;
      at[2] = p.red;
    }
  }
  return image;
}

}  // namespace ostrelin::test
