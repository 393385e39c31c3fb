#include "authoring/core/media.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <csetjmp>
#include <cmath>
#include <numbers>

#include <jpeglib.h>

namespace ostrelin {

namespace {

struct JpegError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char text[JMSG_LENGTH_MAX];
};

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Patch32(std::string& out, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

// Starts a chunk "id" with a size to patch; returns the offset of the size field.
size_t BeginChunk(std::string& out, const char* id) {
  out.append(id, 4);
  const size_t at = out.size();
  Put32(out, 0);
  return at;
}
void EndChunk(std::string& out, size_t sizeAt) {
  Patch32(out, sizeAt, std::uint32_t(out.size() - sizeAt - 4));
  if (out.size() % 2 != 0) out.push_back('\0');
}

}  // namespace

bool EncodeJpeg(const Raster& image, int quality, std::string& bytes, std::string& error) {
  if (image.width < 1 || image.height < 1 || (image.channels != 1 && image.channels != 3) ||
      image.pixels.size() != size_t(image.width) * size_t(image.height) * size_t(image.channels)) {
    error = "an empty or inconsistent image cannot be written as JPEG";
    return false;
  }
  jpeg_compress_struct c{};
  JpegError jerr{};
  c.err = jpeg_std_error(&jerr.pub);
  jerr.pub.error_exit = [](j_common_ptr cinfo) {
    auto* e = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->text);
    std::longjmp(e->jump, 1);
  };
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (setjmp(jerr.jump)) {
    jpeg_destroy_compress(&c);
    std::free(out);
    error = std::string("JPEG: ") + jerr.text;
    return false;
  }
  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(image.width);
  c.image_height = JDIMENSION(image.height);
  c.input_components = image.channels;
  c.in_color_space = image.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  c.optimize_coding = TRUE;
  c.write_JFIF_header = TRUE;
  jpeg_start_compress(&c, TRUE);
  const size_t stride = size_t(image.width) * size_t(image.channels);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data() + c.next_scanline * stride);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  bytes.assign(reinterpret_cast<const char*>(out), size);
  jpeg_destroy_compress(&c);
  std::free(out);
  return true;
}

std::string WaveFile(const std::vector<std::int16_t>& samples, int sampleRate) {
  std::string out;
  const size_t riff = BeginChunk(out, "RIFF");
  out += "WAVE";
  const size_t fmt = BeginChunk(out, "fmt ");
  Put16(out, 1);  // integer PCM
  Put16(out, 1);  // mono
  Put32(out, std::uint32_t(sampleRate));
  Put32(out, std::uint32_t(sampleRate) * 2);
  Put16(out, 2);
  Put16(out, 16);
  EndChunk(out, fmt);
  const size_t data = BeginChunk(out, "data");
  for (std::int16_t s : samples) Put16(out, std::uint16_t(s));
  EndChunk(out, data);
  EndChunk(out, riff);
  return out;
}

std::string SynthesiseChime(int sampleRate) {
  // Two struck notes a fifth apart (E6, then A5), each a bell: fundamental, a slightly
  // inharmonic upper partial, fast attack, exponential decay.
  struct Note {
    double start, frequency, gain;
  };
  const Note notes[] = {{0.0, 1318.5, 0.45}, {0.22, 880.0, 0.55}};
  const double length = 1.4;
  const size_t count = size_t(length * sampleRate);
  std::vector<std::int16_t> samples(count);
  for (size_t n = 0; n < count; ++n) {
    const double t = double(n) / sampleRate;
    double v = 0;
    for (const Note& note : notes) {
      const double u = t - note.start;
      if (u < 0) continue;
      const double attack = std::min(1.0, u / 0.004);
      const double w = 2 * std::numbers::pi * note.frequency * u;
      v += note.gain * attack *
           (std::sin(w) * std::exp(-u * 3.2) + 0.35 * std::sin(2.76 * w) * std::exp(-u * 7.0));
    }
    const double fadeOut = std::min(1.0, (length - t) / 0.05);
    samples[n] = std::int16_t(std::lround(std::clamp(v * fadeOut, -1.0, 1.0) * 20000));
  }
  return WaveFile(samples, sampleRate);
}

namespace {

// The "hdrl" list of an MJPEG AVI: the main header and the one video stream's.
void AppendAviHeaders(std::string& out, int w, int h, int fps, size_t frames, size_t largest) {
  const size_t hdrl = BeginChunk(out, "LIST");
  out += "hdrl";
  const size_t avih = BeginChunk(out, "avih");
  Put32(out, std::uint32_t(1000000 / fps));
  Put32(out, std::uint32_t(largest * size_t(fps)));
  Put32(out, 0);
  Put32(out, 0x10);  // has an index
  Put32(out, std::uint32_t(frames));
  Put32(out, 0);
  Put32(out, 1);  // one stream
  Put32(out, std::uint32_t(largest + 8));
  Put32(out, std::uint32_t(w));
  Put32(out, std::uint32_t(h));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  EndChunk(out, avih);
  const size_t strl = BeginChunk(out, "LIST");
  out += "strl";
  const size_t strh = BeginChunk(out, "strh");
  out += "vidsMJPG";
  Put32(out, 0);  // flags
  Put16(out, 0);  // priority
  Put16(out, 0);  // language
  Put32(out, 0);  // initial frames
  Put32(out, 1);  // scale
  Put32(out, std::uint32_t(fps));
  Put32(out, 0);  // start
  Put32(out, std::uint32_t(frames));
  Put32(out, std::uint32_t(largest));
  Put32(out, 0xFFFFFFFFu);  // default quality
  Put32(out, 0);            // sample size: varies
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, std::uint16_t(w));
  Put16(out, std::uint16_t(h));
  EndChunk(out, strh);
  const size_t strf = BeginChunk(out, "strf");
  Put32(out, 40);
  Put32(out, std::uint32_t(w));
  Put32(out, std::uint32_t(h));
  Put16(out, 1);
  Put16(out, 24);
  out += "MJPG";
  Put32(out, std::uint32_t(w * h * 3));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  EndChunk(out, strf);
  EndChunk(out, strl);
  EndChunk(out, hdrl);
}

// The "movi" list of the frames and the "idx1" index of them.
void AppendAviFrames(std::string& out, const std::vector<std::string>& jpegs) {
  const size_t movi = BeginChunk(out, "LIST");
  const size_t moviStart = out.size();
  out += "movi";
  std::string index;
  for (const std::string& jpeg : jpegs) {
    index += "00dc";
    Put32(index, 0x10);  // key frame
    Put32(index, std::uint32_t(out.size() - moviStart));
    Put32(index, std::uint32_t(jpeg.size()));
    const size_t chunk = BeginChunk(out, "00dc");
    out += jpeg;
    EndChunk(out, chunk);
  }
  EndChunk(out, movi);
  const size_t idx1 = BeginChunk(out, "idx1");
  out += index;
  EndChunk(out, idx1);
}

}  // namespace

bool EncodeMjpegAvi(const std::vector<Raster>& frames, int fps, int quality, std::string& bytes,
                    std::string& error) {
  if (frames.empty() || fps < 1) {
    error = "a video needs frames and a frame rate";
    return false;
  }
  const int w = frames[0].width, h = frames[0].height;
  std::vector<std::string> jpegs(frames.size());
  size_t largest = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    if (frames[i].width != w || frames[i].height != h) {
      error = "the frames of a video differ in size";
      return false;
    }
    if (!EncodeJpeg(frames[i], quality, jpegs[i], error)) return false;
    largest = std::max(largest, jpegs[i].size());
  }
  std::string out;
  const size_t riff = BeginChunk(out, "RIFF");
  out += "AVI ";
  AppendAviHeaders(out, w, h, fps, frames.size(), largest);
  AppendAviFrames(out, jpegs);
  EndChunk(out, riff);
  bytes = std::move(out);
  return true;
}

}  // namespace ostrelin
