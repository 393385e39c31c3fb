// The BMP reader on arbitrary bytes, from memory and (every fourth input) from a file, which must
// agree; an image that decodes is then shown at every zoom.
#include <cstddef>
#include <cstdint>

#include "fuzz/image_view_checks.h"
#include "image/core/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  ImageLimits limits;  // small enough that every input runs in milliseconds
  limits.maxSide = 4096;
  limits.maxPixels = 1 << 20;
  fuzz::DecodeBothWays({data, size}, limits, DecodeBmp, DecodeBmpFile, 4);
  return 0;
}
