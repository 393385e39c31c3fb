#pragma once
// Sample images for the image tests, benchmarks and fuzz seeds: JPEGs written with libjpeg's
// compressor and BMPs written byte by byte. Header-only, so that only what includes it needs
// libjpeg.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace ostrelin::test {

struct JpegOptions {
  int quality = 95;
  bool progressive = false;
  J_COLOR_SPACE stored = JCS_UNKNOWN;  // the JPEG's colour space; JCS_UNKNOWN: libjpeg's default
  bool subsample = true;               // 2 x 2 chroma subsampling (libjpeg's default)
};

// Compresses `pixels` (top row first, `components` bytes per pixel in `input` order) into JPEG
// bytes.
inline std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& pixels, int width,
                                            int height, int components, J_COLOR_SPACE input,
                                            const JpegOptions& options = {}) {
  struct Error {
    jpeg_error_mgr pub;
  } error;
  jpeg_compress_struct c{};
  c.err = jpeg_std_error(&error.pub);
  error.pub.error_exit = [](j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "sample JPEG: %s\n", text);
    std::abort();  // a sample that cannot be written is a broken test
  };
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = components;
  c.in_color_space = input;
  jpeg_set_defaults(&c);
  if (options.stored != JCS_UNKNOWN) jpeg_set_colorspace(&c, options.stored);
  if (!options.subsample) {
    for (int i = 0; i < c.num_components; ++i) {
      c.comp_info[i].h_samp_factor = 1;
      c.comp_info[i].v_samp_factor = 1;
    }
  }
  jpeg_set_quality(&c, options.quality, TRUE);
  if (options.progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  const std::size_t rowBytes = std::size_t(width) * std::size_t(components);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + rowBytes * c.next_scanline);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<std::uint8_t> bytes(out, out + size);
  jpeg_destroy_compress(&c);
  std::free(out);
  return bytes;
}

// Photograph-like RGB content, top row first: smooth gradients with texture, so that the
// compressed size and decoding work resemble a sectional photograph's.
inline std::vector<std::uint8_t> PhotoLikeRgb(int width, int height) {
  std::vector<std::uint8_t> rgb(std::size_t(width) * std::size_t(height) * 3);
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int n = int(noise >> 28) - 8;
      const int ring = ((x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2)) /
                       (width / 8 + 1);
      std::uint8_t* p = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
      p[0] = std::uint8_t(std::clamp(128 + (x * 96) / width + (ring % 48) + n, 0, 255));
      p[1] = std::uint8_t(std::clamp(64 + (y * 128) / height + (ring % 32) + n, 0, 255));
      p[2] = std::uint8_t(std::clamp(96 + ((x + y) % 64) + n, 0, 255));
    }
  }
  return rgb;
}

// ---------------------------------------------------------------------------------------------
// BMP files

struct BmpLayout {
  int width = 0;
  int height = 0;  // negative: rows stored top-down
  int bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t paletteCount = 0;               // the header's field; the palette written has
  std::vector<std::uint8_t> palette;            // these entries (blue, green, red, reserved each)
  std::vector<std::vector<std::uint8_t>> rows;  // stored rows in file order, unpadded
  std::uint32_t gap = 0;                        // bytes between the palette and the rows
  std::uint32_t infoBytes = 40;
  bool writeOffset = true;  // false: the pixel-offset field is 0
};

inline void PutU16(std::string& s, std::uint32_t v) {
  s.push_back(char(v & 0xFF));
  s.push_back(char((v >> 8) & 0xFF));
}
inline void PutU32(std::string& s, std::uint32_t v) {
  PutU16(s, v & 0xFFFF);
  PutU16(s, v >> 16);
}

// The file bytes; each row is padded to a multiple of 4 bytes.
inline std::string MakeBmp(const BmpLayout& layout) {
  std::string body;
  body.append(layout.palette.begin(), layout.palette.end());
  body.append(layout.gap, '\x77');
  const std::uint32_t offset = 14 + layout.infoBytes + std::uint32_t(body.size());
  for (const auto& row : layout.rows) {
    body.append(row.begin(), row.end());
    body.append((4 - row.size() % 4) % 4, '\0');
  }
  std::string s = "BM";
  PutU32(s, 14 + layout.infoBytes + std::uint32_t(body.size()));
  PutU32(s, 0);
  PutU32(s, layout.writeOffset ? offset : 0);
  PutU32(s, layout.infoBytes);
  PutU32(s, std::uint32_t(layout.width));
  PutU32(s, std::uint32_t(layout.height));
  PutU16(s, 1);
  PutU16(s, std::uint32_t(layout.bits));
  PutU32(s, layout.compression);
  PutU32(s, 0);
  PutU32(s, 2835);
  PutU32(s, 2835);
  PutU32(s, layout.paletteCount);
  PutU32(s, 0);
  s.append(layout.infoBytes - 40, '\0');
  return s + body;
}

// A 24-bit BMP of one grey value throughout.
inline std::string PlainBmp(int width, int height, std::uint8_t grey) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.rows.assign(std::size_t(height), std::vector<std::uint8_t>(std::size_t(width) * 3, grey));
  return MakeBmp(layout);
}

inline std::vector<std::uint8_t> Bytes(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}

}  // namespace ostrelin::test
