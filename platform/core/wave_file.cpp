#include "platform/core/wave_file.h"

#include <algorithm>
#include <cstdint>

namespace ostrelin {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The sub-format GUID of extensible PCM after its first two bytes (which hold the PCM tag).
constexpr std::string_view kPcmGuidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71",
                                        14);

uint32_t Le(std::string_view bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = width; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

std::optional<WaveSound> ParseWave(std::string_view bytes) {
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
    return std::nullopt;
  }
  std::optional<std::string_view> format;
  std::optional<size_t> dataOffset;
  size_t dataSize = 0;
  size_t pos = 12;
  while (pos + 8 <= bytes.size() && !(format && dataOffset)) {
    const std::string_view id = bytes.substr(pos, 4);
    const size_t size = Le(bytes, pos + 4, 4);
    const size_t body = pos + 8;
    const size_t present = std::min(size, bytes.size() - body);
    if (id == "fmt " && !format) {
      format = bytes.substr(body, present);
    } else if (id == "data" && !dataOffset) {
      dataOffset = body;
      dataSize = present;
    }
    pos = body + size + (size & 1);  // cannot wrap: size is below 2^32, pos far below 2^63
  }
  if (!format || !dataOffset || format->size() < 16) return std::nullopt;

  const std::string_view fmt = *format;
  const uint32_t tag = Le(fmt, 0, 2);
  if (tag == kFormatExtensible) {
    if (fmt.size() < 40 || Le(fmt, 24, 2) != kFormatPcm || fmt.substr(26, 14) != kPcmGuidTail) {
      return std::nullopt;
    }
  } else if (tag != kFormatPcm) {
    return std::nullopt;
  }
  WaveSound sound;
  sound.channels = Le(fmt, 2, 2);
  sound.sampleRate = Le(fmt, 4, 4);
  const uint32_t blockAlign = Le(fmt, 12, 2);
  sound.bitsPerSample = Le(fmt, 14, 2);
  const uint32_t bits = sound.bitsPerSample;
  if (sound.channels < 1 || sound.channels > 8) return std::nullopt;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  if (sound.sampleRate == 0 || sound.sampleRate > 768000) return std::nullopt;
  if (blockAlign != sound.BytesPerFrame()) return std::nullopt;
  sound.dataOffset = *dataOffset;
  sound.frameCount = dataSize / blockAlign;
  return sound;
}

}  // namespace ostrelin
