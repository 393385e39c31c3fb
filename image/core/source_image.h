#pragma once
// The decoded source image: 24-bit pixels in blue, green, red order, rows bottom-up (row 0 is the
// bottom edge), no row padding. The width is always a multiple of 4 (the decoders drop the
// right-most 0 to 3 columns of the file), so every row is a multiple of 4 bytes long.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/core/message_service.h"

namespace ostrelin {

// The largest image the atlas accepts. A header that asks for more is refused before anything is
// allocated, so a damaged or hostile file cannot make the atlas reserve gigabytes: at most 16384
// pixels on either side and at most 64 Mi pixels (192 MiB of 24-bit pixels) in all. The sectional
// images of the atlas are around 2048 x 1216.
//
// Progressive JPEGs of the atlas have a dozen scans at most; a damaged file with thousands of
// them would keep the decoder busy for minutes and is refused after `maxScans`.
struct ImageLimits {
  int maxSide = 16384;
  std::int64_t maxPixels = std::int64_t(64) * 1024 * 1024;
  int maxScans = 1000;
};

struct SourceImage {
  int width = 0;  // a multiple of 4
  int height = 0;
  std::unique_ptr<std::uint8_t[]> pixels;

  std::size_t RowBytes() const { return std::size_t(width) * 3; }
  std::size_t Bytes() const { return RowBytes() * std::size_t(height); }
  std::uint8_t* Row(int row) { return pixels.get() + RowBytes() * std::size_t(row); }
  const std::uint8_t* Row(int row) const { return pixels.get() + RowBytes() * std::size_t(row); }
  bool Empty() const { return !pixels || width <= 0 || height <= 0; }
};

// Checks the size a header announces (the file's width, before the cut to a multiple of 4) and
// shows why it is refused. True when an image of that size may be allocated.
bool AcceptImageSize(std::int64_t fileWidth, std::int64_t height, const ImageLimits& limits,
                     MessageService& messages);

// Allocates the pixels of a width x height image (contents undefined). On failure shows the
// out-of-memory message of the image object and returns false.
bool AllocateSourceImage(SourceImage& image, int width, int height, MessageService& messages);

// The same, reusing the pixels of `spare` (an image no longer needed) when they are exactly as
// many bytes; otherwise `spare` is freed before the new pixels are allocated.
bool AllocateSourceImage(SourceImage& image, int width, int height, MessageService& messages,
                         SourceImage& spare);

}  // namespace ostrelin
