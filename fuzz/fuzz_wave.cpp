// Wave files from arbitrary bytes: whatever the parser accepts lies within the bytes and has a
// format the sound output can be set up with.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/core/wave_file.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto sound = ParseWave(bytes);
  if (!sound) return 0;
  Check(sound->channels >= 1 && sound->channels <= 8);
  Check(sound->bitsPerSample % 8 == 0 && sound->bitsPerSample >= 8 && sound->bitsPerSample <= 32);
  Check(sound->sampleRate > 0);
  Check(sound->dataOffset <= size);
  Check(sound->frameCount <= (size - sound->dataOffset) / sound->BytesPerFrame());
  // Touch the last sample byte, so the sanitizers see a read past the end.
  if (sound->frameCount > 0) {
    volatile char last = bytes[sound->dataOffset + sound->frameCount * sound->BytesPerFrame() - 1];
    (void)last;
  }
  return 0;
}
