#include "image/core/colour_tables.h"

namespace ostrelin {
namespace {

ColourTables BuildTables() {
  ColourTables t{};
  for (int j = 0; j < 256; ++j) {
    const std::int32_t i = 2 * j - 255;
    // Right shifts of negative values are arithmetic (C++20 defines them so).
    t.redFromCr[j] = (45941 * i + 32768) >> 16;
    t.blueFromCb[j] = (58065 * i + 32768) >> 16;
    t.greenFromCr[j] = -23401 * i;
    t.greenFromCb[j] = 32768 - 11277 * i;
  }
  for (int k = 0; k < 1024; ++k) {
    const int value = k - ColourTables::kClampOffset;
    t.clamp[k] = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
  }
  return t;
}

}  // namespace

const ColourTables& InitColourTables() {
  static const ColourTables tables = BuildTables();  // built once, thread-safe
  return tables;
}

void ConvertYCbCrRow(const ColourTables& tables, const std::uint8_t* y, const std::uint8_t* cb,
                     const std::uint8_t* cr, std::uint8_t* bgr, int pixels) {
  // One load per table and one per clamp: this loop is most of what loading costs beyond the
  // library's own decoding, so everything stays in locals and nothing is computed twice.
  const std::int32_t* const red = tables.redFromCr;
  const std::int32_t* const blue = tables.blueFromCb;
  const std::int32_t* const greenCr = tables.greenFromCr;
  const std::int32_t* const greenCb = tables.greenFromCb;
  const std::uint8_t* const clamp = tables.clamp + ColourTables::kClampOffset;
  for (int x = 0; x < pixels; ++x, bgr += 3) {
    const std::int32_t luma = y[x];
    const unsigned b = cb[x];
    const unsigned r = cr[x];
    bgr[0] = clamp[luma + blue[b]];
    bgr[1] = clamp[luma + ((greenCb[b] + greenCr[r]) >> 16)];
    bgr[2] = clamp[luma + red[r]];
  }
}

void ExpandGreyRow(const std::uint8_t* grey, std::uint8_t* bgr, int pixels) {
  for (int x = 0; x < pixels; ++x, bgr += 3) {
    bgr[0] = bgr[1] = bgr[2] = grey[x];
  }
}

}  // namespace ostrelin
