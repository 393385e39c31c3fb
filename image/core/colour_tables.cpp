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
  return t;
}

inline std::uint8_t Clamp(std::int32_t value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

}  // namespace

const ColourTables& InitColourTables() {
  static const ColourTables tables = BuildTables();  // built once, thread-safe
  return tables;
}

void ConvertYCbCrRow(const ColourTables& tables, const std::uint8_t* ycc, std::uint8_t* bgr,
                     int pixels) {
  const std::int32_t* const red = tables.redFromCr;
  const std::int32_t* const blue = tables.blueFromCb;
  const std::int32_t* const greenCr = tables.greenFromCr;
  const std::int32_t* const greenCb = tables.greenFromCb;
  for (int x = 0; x < pixels; ++x, ycc += 3, bgr += 3) {
    const std::int32_t y = ycc[0];
    const unsigned cb = ycc[1];
    const unsigned cr = ycc[2];
    bgr[0] = Clamp(y + blue[cb]);
    bgr[1] = Clamp(y + ((greenCb[cb] + greenCr[cr]) >> 16));
    bgr[2] = Clamp(y + red[cr]);
  }
}

void ExpandGreyRow(const std::uint8_t* grey, std::uint8_t* bgr, int pixels) {
  for (int x = 0; x < pixels; ++x, bgr += 3) {
    bgr[0] = bgr[1] = bgr[2] = grey[x];
  }
}

}  // namespace ostrelin
