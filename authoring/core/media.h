#pragma once
// The media files the demo atlas is made of, written without any encoder program: JPEG images
// through libjpeg, a synthesised chime as a RIFF wave, and a Motion-JPEG AVI video. Every writer
// is deterministic: the same input gives the same bytes (no dates, no random seeds).

#include <cstdint>
#include <string>
#include <vector>

namespace ostrelin {

// An 8-bit image, top row first, 1 (grey) or 3 (RGB) bytes a pixel.
struct Raster {
  int width = 0;
  int height = 0;
  int channels = 1;
  std::vector<std::uint8_t> pixels;

  Raster() = default;
  Raster(int w, int h, int c, std::uint8_t fill = 0)
      : width(w), height(h), channels(c), pixels(size_t(w) * size_t(h) * size_t(c), fill) {}
  std::uint8_t* At(int x, int y) {
    return pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * size_t(channels);
  }
  const std::uint8_t* At(int x, int y) const {
    return pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * size_t(channels);
  }
};

// JPEG bytes of `image` (baseline, the given quality). False with `error` set when libjpeg
// refuses it.
bool EncodeJpeg(const Raster& image, int quality, std::string& bytes, std::string& error);

// A short bell-like chime (two partials with a soft attack and an exponential decay), 16-bit mono.
std::string SynthesiseChime(int sampleRate = 22050);

// A wave file of 16-bit mono samples.
std::string WaveFile(const std::vector<std::int16_t>& samples, int sampleRate);

// A Motion-JPEG AVI of the given frames (all of one size), `fps` frames a second, with its index,
// as common players read it.
bool EncodeMjpegAvi(const std::vector<Raster>& frames, int fps, int quality, std::string& bytes,
                    std::string& error);

}  // namespace ostrelin
