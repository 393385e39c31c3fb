// The JPEG load on arbitrary bytes, from memory and (every eighth input) through the library's
// file source, which must agree; an image that decodes is then shown at every zoom.
#include <cstddef>
#include <cstdint>

#include "fuzz/image_view_checks.h"
#include "image/core/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  ImageLimits limits;  // small enough that every input runs in milliseconds
  limits.maxSide = 2048;
  limits.maxPixels = 1 << 20;
  limits.maxScans = 64;
  fuzz::DecodeBothWays({data, size}, limits, DecodeJpeg, DecodeJpegFile, 8);
  return 0;
}
