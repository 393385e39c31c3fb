// The BMP reader on arbitrary bytes; an image that decodes is then shown at every zoom.
#include <cstddef>
#include <cstdint>

#include "fuzz/image_view_checks.h"
#include "image/core/bmp_decoder.h"
#include "platform/core/scripted_message_service.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::span<const std::uint8_t> input(data, size);
  ScriptedMessageService messages;
  ImageLimits limits;  // small enough that every input runs in milliseconds
  limits.maxSide = 4096;
  limits.maxPixels = 1 << 20;
  SourceImage image;
  const bool ok = DecodeBmp(input, image, messages, limits);
  fuzz::Check(ok == !image.Empty());
  fuzz::Check(ok || !messages.shown.empty());  // a refusal always says why
  if (ok) {
    fuzz::Check(image.width <= limits.maxSide && image.height <= limits.maxSide);
    fuzz::ExerciseView(std::move(image), input, messages);
  }
  return 0;
}
