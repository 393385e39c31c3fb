#pragma once
// RIFF WAVE files with integer PCM samples, as the atlas's sounds are stored: a "RIFF" header
// naming the form "WAVE", then chunks of a four-letter id, a 32-bit little-endian size and the
// body, padded to an even length. The "fmt " chunk describes the samples, the "data" chunk holds
// them; other chunks are passed over.

#include <cstddef>
#include <optional>
#include <string_view>

namespace ostrelin {

struct WaveSound {
  unsigned channels = 0;       // 1 to 8, interleaved
  unsigned sampleRate = 0;     // frames per second
  unsigned bitsPerSample = 0;  // 8 (unsigned), 16, 24 or 32 (signed), little-endian
  size_t dataOffset = 0;       // first sample byte within the file
  size_t frameCount = 0;       // whole frames present in the file

  size_t BytesPerFrame() const { return size_t(channels) * (bitsPerSample / 8); }
};

// The sound of a wave file given as its bytes, or nothing when it is no wave file, its samples are
// not integer PCM (compressed, floating point) or its format is inconsistent. A data chunk that
// claims more bytes than the file has is cut to the file (a truncated download still plays), and
// a last partial frame is left out.
std::optional<WaveSound> ParseWave(std::string_view bytes);

}  // namespace ostrelin
