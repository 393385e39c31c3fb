#pragma once
// The image object's own conversion from luminance and colour differences (Y, Cb, Cr) to the blue,
// green, red bytes of the bitmaps. The decoder hands over the components untouched; these tables
// turn them into colour.
//
// The four tables hold, for a component value j, i = 2j - 255 (twice the distance of j from 127.5)
// times the usual factors 1.402, 1.772, 0.71414 and 0.34414 in fixed point with 16 fraction bits.
// Taking the centre at 127.5 rather than 128 is part of how the atlas has always shown its images,
// so the bytes differ by one here and there from other decoders' output.

#include <cstdint>

namespace ostrelin {

struct ColourTables {
  std::int32_t redFromCr[256];    // (45941 i + 32768) >> 16, rounded
  std::int32_t blueFromCb[256];   // (58065 i + 32768) >> 16, rounded
  std::int32_t greenFromCr[256];  // -23401 i, still in 16-bit fixed point
  std::int32_t greenFromCb[256];  // 32768 - 11277 i: holds the rounding half of the green sum

  // Clamping to 0..255 by lookup: Y plus any of the differences above lies in -226..481.
  static constexpr int kClampOffset = 384;
  std::uint8_t clamp[1024];
};

// Builds the process-wide tables on the first call and returns them; every later call returns
// the same tables. Safe to call from any thread. The main window calls it once when it is created
// so that the first image loads without the delay; the decoder calls it too, so an image loaded
// earlier (a tool, a test) is converted all the same.
const ColourTables& InitColourTables();

// Converts `pixels` pixels, given as separate rows of Y, Cb and Cr (as the decoder keeps them),
// into blue, green, red triples.
void ConvertYCbCrRow(const ColourTables& tables, const std::uint8_t* y, const std::uint8_t* cb,
                     const std::uint8_t* cr, std::uint8_t* bgr, int pixels);

// The same, byte for byte, with 32 pixels at a time in vector lanes where the processor has AVX2:
// the decoder's way for images whose components it keeps apart.
void ConvertPlanarYCbCrRow(const ColourTables& tables, const std::uint8_t* y,
                           const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* bgr,
                           int pixels);

// One full-size row of a colour difference sampled at half the width and half the height, made
// as the library's smooth upsampling makes it: every output sample weighs the four nearest
// samples 9:3:3:1. `nearest` is the sample row the output row lies in, `next` the next nearest
// (the row above for an even output row, the one below for an odd one; at the image's edges the
// edge row itself). Writes 2 * inWidth samples; `sums` holds inWidth + 2 values of scratch.
void UpsampleHalfRow(const std::uint8_t* nearest, const std::uint8_t* next, int inWidth,
                     std::uint8_t* out, std::uint16_t* sums);

// The same for pixels given as interleaved Y, Cb, Cr triples, as the library's YCbCr output holds
// them: byte for byte the result of ConvertYCbCrRow. Where the processor has AVX2, 16 pixels are
// converted at a time with the tables' arithmetic in vector lanes.
void ConvertInterleavedYCbCrRow(const ColourTables& tables, const std::uint8_t* ycc,
                                std::uint8_t* bgr, int pixels);

// Expands `pixels` grey values into blue, green, red triples of that grey.
void ExpandGreyRow(const std::uint8_t* grey, std::uint8_t* bgr, int pixels);

}  // namespace ostrelin
