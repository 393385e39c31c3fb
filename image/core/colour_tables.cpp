#include "image/core/colour_tables.h"

#include "image/core/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define OSTRELIN_X86_KERNELS 1
#endif

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

namespace {

void ConvertInterleavedScalar(const ColourTables& tables, const std::uint8_t* ycc,
                              std::uint8_t* bgr, int pixels) {
  const std::int32_t* const red = tables.redFromCr;
  const std::int32_t* const blue = tables.blueFromCb;
  const std::int32_t* const greenCr = tables.greenFromCr;
  const std::int32_t* const greenCb = tables.greenFromCb;
  const std::uint8_t* const clamp = tables.clamp + ColourTables::kClampOffset;
  for (int x = 0; x < pixels; ++x, ycc += 3, bgr += 3) {
    const std::int32_t luma = ycc[0];
    const unsigned b = ycc[1];
    const unsigned r = ycc[2];
    bgr[0] = clamp[luma + blue[b]];
    bgr[1] = clamp[luma + ((greenCb[b] + greenCr[r]) >> 16)];
    bgr[2] = clamp[luma + red[r]];
  }
}

void ExpandGreyScalar(const std::uint8_t* grey, std::uint8_t* bgr, int pixels) {
  for (int x = 0; x < pixels; ++x, bgr += 3) {
    bgr[0] = bgr[1] = bgr[2] = grey[x];
  }
}

#ifdef OSTRELIN_X86_KERNELS

// Byte shuffles between 16 pixels of three interleaved bytes (48 bytes in three blocks of 16) and
// three blocks of 16 single bytes. -128 (high bit set) makes the shuffle write a zero.
struct ShuffleMask {
  alignas(16) signed char bytes[16];
};

// Picks byte `channel` of each of the 16 pixels that lies in block `block` of the 48.
constexpr ShuffleMask Gather(int channel, int block) {
  ShuffleMask m{};
  for (int p = 0; p < 16; ++p) {
    const int at = 3 * p + channel;
    m.bytes[p] = static_cast<signed char>(at / 16 == block ? at % 16 : -128);
  }
  return m;
}

// Puts the bytes of one channel (16 pixels) where they belong in block `block` of the 48.
constexpr ShuffleMask Scatter(int channel, int block) {
  ShuffleMask m{};
  for (int t = 0; t < 16; ++t) {
    const int at = 16 * block + t;
    m.bytes[t] = static_cast<signed char>(at % 3 == channel ? at / 3 : -128);
  }
  return m;
}

// Every byte of block `block` of the 48 from the grey pixel it repeats.
constexpr ShuffleMask Triple(int block) {
  ShuffleMask m{};
  for (int t = 0; t < 16; ++t) m.bytes[t] = static_cast<signed char>((16 * block + t) / 3);
  return m;
}

constexpr ShuffleMask kGather[3][3] = {{Gather(0, 0), Gather(0, 1), Gather(0, 2)},
                                       {Gather(1, 0), Gather(1, 1), Gather(1, 2)},
                                       {Gather(2, 0), Gather(2, 1), Gather(2, 2)}};
constexpr ShuffleMask kScatter[3][3] = {{Scatter(0, 0), Scatter(0, 1), Scatter(0, 2)},
                                        {Scatter(1, 0), Scatter(1, 1), Scatter(1, 2)},
                                        {Scatter(2, 0), Scatter(2, 1), Scatter(2, 2)}};
constexpr ShuffleMask kTriple[3] = {Triple(0), Triple(1), Triple(2)};

__attribute__((target("avx2"))) inline __m128i Load(const ShuffleMask& m) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(m.bytes));
}

// One channel of 16 interleaved pixels.
__attribute__((target("avx2"))) inline __m128i Channel(int c, __m128i a0, __m128i a1, __m128i a2) {
  return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a0, Load(kGather[c][0])),
                                   _mm_shuffle_epi8(a1, Load(kGather[c][1]))),
                      _mm_shuffle_epi8(a2, Load(kGather[c][2])));
}

// Block `k` of the 48 output bytes from the three channels.
__attribute__((target("avx2"))) inline __m128i Block(int k, __m128i c0, __m128i c1, __m128i c2) {
  return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(c0, Load(kScatter[0][k])),
                                   _mm_shuffle_epi8(c1, Load(kScatter[1][k]))),
                      _mm_shuffle_epi8(c2, Load(kScatter[2][k])));
}

__attribute__((target("avx2"))) inline __m128i ToBytes(__m256i v) {
  return _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
}

// The tables' arithmetic in 16-bit lanes. With j a component and i = 2j - 255 (odd), the red
// table's (45941 i + 32768) >> 16 is (j - 127) + (13173 i >> 16), because
// 45941 i + 32768 = 65536 (j - 127) + 13173 i; the blue one likewise with 25297. Green keeps its
// 32-bit sum, 32768 - 11277 i(Cb) - 23401 i(Cr), shifted by 16. The final saturation to 0..255
// is the clamp table's. Blue, green and red of 16 pixels, before saturation:
struct Lanes {
  __m256i blue, green, red;
};
__attribute__((target("avx2"))) inline Lanes Arithmetic(__m256i y, __m256i cb, __m256i cr) {
  const __m256i k127 = _mm256_set1_epi16(127);
  const __m256i k255 = _mm256_set1_epi16(255);
  const __m256i kGreen = _mm256_set1_epi32(
      static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(-11277)) |
                       (static_cast<std::uint32_t>(static_cast<std::uint16_t>(-23401)) << 16)));
  const __m256i kHalf = _mm256_set1_epi32(32768);
  const __m256i ib = _mm256_sub_epi16(_mm256_add_epi16(cb, cb), k255);
  const __m256i ir = _mm256_sub_epi16(_mm256_add_epi16(cr, cr), k255);
  Lanes out;
  out.red = _mm256_add_epi16(_mm256_add_epi16(y, _mm256_sub_epi16(cr, k127)),
                             _mm256_mulhi_epi16(ir, _mm256_set1_epi16(13173)));
  out.blue = _mm256_add_epi16(_mm256_add_epi16(y, _mm256_sub_epi16(cb, k127)),
                              _mm256_mulhi_epi16(ib, _mm256_set1_epi16(25297)));
  const __m256i low = _mm256_srai_epi32(
      _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(ib, ir), kGreen), kHalf), 16);
  const __m256i high = _mm256_srai_epi32(
      _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(ib, ir), kGreen), kHalf), 16);
  out.green = _mm256_add_epi16(y, _mm256_packs_epi32(low, high));
  return out;
}

__attribute__((target("avx2"))) inline __m256i Load2(const ShuffleMask& m) {
  return _mm256_broadcastsi128_si256(Load(m));
}

// Two blocks of 16 bytes, 48 apart, in the two halves of one register.
__attribute__((target("avx2"))) inline __m256i LoadPair(const std::uint8_t* p) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)), 1);
}

__attribute__((target("avx2"))) inline __m256i Channel2(int c, __m256i a0, __m256i a1, __m256i a2) {
  return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(a0, Load2(kGather[c][0])),
                                         _mm256_shuffle_epi8(a1, Load2(kGather[c][1]))),
                         _mm256_shuffle_epi8(a2, Load2(kGather[c][2])));
}

__attribute__((target("avx2"))) inline void StorePair(std::uint8_t* p, int k, __m256i b8,
                                                      __m256i g8, __m256i r8) {
  const __m256i block =
      _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(b8, Load2(kScatter[0][k])),
                                      _mm256_shuffle_epi8(g8, Load2(kScatter[1][k]))),
                      _mm256_shuffle_epi8(r8, Load2(kScatter[2][k])));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), _mm256_castsi256_si128(block));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48 + 16 * k), _mm256_extracti128_si256(block, 1));
}

// Converts 32 pixels, 0-15 in the low halves of the component registers and 16-31 in the high
// halves, and stores their 96 bytes.
__attribute__((target("avx2"))) inline void Convert32(__m256i y, __m256i cb, __m256i cr,
                                                      std::uint8_t* bgr) {
  const __m256i zero = _mm256_setzero_si256();
  // Pixels 0-7 and 16-23 in `low`, 8-15 and 24-31 in `high`; packing puts them back in order.
  const Lanes low = Arithmetic(_mm256_unpacklo_epi8(y, zero), _mm256_unpacklo_epi8(cb, zero),
                               _mm256_unpacklo_epi8(cr, zero));
  const Lanes high = Arithmetic(_mm256_unpackhi_epi8(y, zero), _mm256_unpackhi_epi8(cb, zero),
                                _mm256_unpackhi_epi8(cr, zero));
  const __m256i b8 = _mm256_packus_epi16(low.blue, high.blue);
  const __m256i g8 = _mm256_packus_epi16(low.green, high.green);
  const __m256i r8 = _mm256_packus_epi16(low.red, high.red);
  for (int k = 0; k < 3; ++k) StorePair(bgr, k, b8, g8, r8);
}

// 32 pixels at a time, 16 in each half of the registers so that no byte shuffle crosses a half,
// then 16 at a time. Returns how many pixels were converted.
__attribute__((target("avx2"))) int ConvertInterleavedAvx2(const std::uint8_t* ycc,
                                                           std::uint8_t* bgr, int pixels) {
  int x = 0;
  for (; x + 32 <= pixels; x += 32, ycc += 96, bgr += 96) {
    const __m256i a0 = LoadPair(ycc), a1 = LoadPair(ycc + 16), a2 = LoadPair(ycc + 32);
    const __m256i y = Channel2(0, a0, a1, a2);
    const __m256i cb = Channel2(1, a0, a1, a2);
    const __m256i cr = Channel2(2, a0, a1, a2);
    Convert32(y, cb, cr, bgr);
  }
  for (; x + 16 <= pixels; x += 16, ycc += 48, bgr += 48) {
    const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ycc));
    const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ycc + 16));
    const __m128i a2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ycc + 32));
    const Lanes lanes = Arithmetic(_mm256_cvtepu8_epi16(Channel(0, a0, a1, a2)),
                                   _mm256_cvtepu8_epi16(Channel(1, a0, a1, a2)),
                                   _mm256_cvtepu8_epi16(Channel(2, a0, a1, a2)));
    const __m128i b8 = ToBytes(lanes.blue), g8 = ToBytes(lanes.green), r8 = ToBytes(lanes.red);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr), Block(0, b8, g8, r8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr + 16), Block(1, b8, g8, r8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr + 32), Block(2, b8, g8, r8));
  }
  return x;
}

__attribute__((target("avx2"))) int ExpandGreyAvx2(const std::uint8_t* grey, std::uint8_t* bgr,
                                                   int pixels) {
  int x = 0;
  for (; x + 16 <= pixels; x += 16, grey += 16, bgr += 48) {
    const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr), _mm_shuffle_epi8(g, Load(kTriple[0])));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr + 16), _mm_shuffle_epi8(g, Load(kTriple[1])));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr + 32), _mm_shuffle_epi8(g, Load(kTriple[2])));
  }
  return x;
}

// The planar form of the kernel above: 32 pixels of each component straight from their rows.
__attribute__((target("avx2"))) int ConvertPlanarAvx2(const std::uint8_t* yRow,
                                                      const std::uint8_t* cbRow,
                                                      const std::uint8_t* crRow, std::uint8_t* bgr,
                                                      int pixels) {
  int x = 0;
  for (; x + 32 <= pixels; x += 32, bgr += 96) {
    const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(yRow + x));
    const __m256i cb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cbRow + x));
    const __m256i cr = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(crRow + x));
    Convert32(y, cb, cr, bgr);
  }
  return x;
}

// Column sums 3 nearest + next, then the two output samples of each: (3 this + left + 8) >> 4 and
// (3 this + right + 7) >> 4, which fit a byte each and go out as one little-endian word.
__attribute__((target("avx2"))) int UpsampleHalfAvx2(const std::uint8_t* nearest,
                                                     const std::uint8_t* next, int inWidth,
                                                     std::uint8_t* out, std::uint16_t* sums) {
  int i = 0;
  for (; i + 16 <= inWidth; i += 16) {
    const __m256i n =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(nearest + i)));
    const __m256i f =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(next + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + 1 + i),
                        _mm256_add_epi16(_mm256_add_epi16(n, _mm256_add_epi16(n, n)), f));
  }
  for (; i < inWidth; ++i) sums[1 + i] = std::uint16_t(3 * nearest[i] + next[i]);
  sums[0] = sums[1];
  sums[inWidth + 1] = sums[inWidth];
  const __m256i eight = _mm256_set1_epi16(8), seven = _mm256_set1_epi16(7);
  int o = 0;
  for (; o + 16 <= inWidth; o += 16) {
    const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + o));
    const __m256i self = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + o + 1));
    const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + o + 2));
    const __m256i three = _mm256_add_epi16(self, _mm256_add_epi16(self, self));
    const __m256i even =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(three, left), eight), 4);
    const __m256i odd =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(three, right), seven), 4);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * o),
                        _mm256_or_si256(even, _mm256_slli_epi16(odd, 8)));
  }
  return o;
}

#endif  // OSTRELIN_X86_KERNELS

}  // namespace

void ConvertInterleavedYCbCrRow(const ColourTables& tables, const std::uint8_t* ycc,
                                std::uint8_t* bgr, int pixels) {
  int done = 0;
#ifdef OSTRELIN_X86_KERNELS
  if (HasAvx2()) done = ConvertInterleavedAvx2(ycc, bgr, pixels);
#endif
  ConvertInterleavedScalar(tables, ycc + 3 * done, bgr + 3 * done, pixels - done);
}

void ConvertPlanarYCbCrRow(const ColourTables& tables, const std::uint8_t* y,
                           const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* bgr,
                           int pixels) {
  int done = 0;
#ifdef OSTRELIN_X86_KERNELS
  if (HasAvx2()) done = ConvertPlanarAvx2(y, cb, cr, bgr, pixels);
#endif
  ConvertYCbCrRow(tables, y + done, cb + done, cr + done, bgr + 3 * done, pixels - done);
}

void UpsampleHalfRow(const std::uint8_t* nearest, const std::uint8_t* next, int inWidth,
                     std::uint8_t* out, std::uint16_t* sums) {
  if (inWidth <= 0) return;
  int done = 0;
#ifdef OSTRELIN_X86_KERNELS
  if (HasAvx2()) done = UpsampleHalfAvx2(nearest, next, inWidth, out, sums);
#endif
  if (done == 0) {
    for (int i = 0; i < inWidth; ++i) sums[1 + i] = std::uint16_t(3 * nearest[i] + next[i]);
    sums[0] = sums[1];
    sums[inWidth + 1] = sums[inWidth];
  }
  for (int o = done; o < inWidth; ++o) {
    const int self = 3 * sums[o + 1];
    out[2 * o] = std::uint8_t((self + sums[o] + 8) >> 4);
    out[2 * o + 1] = std::uint8_t((self + sums[o + 2] + 7) >> 4);
  }
}

void ExpandGreyRow(const std::uint8_t* grey, std::uint8_t* bgr, int pixels) {
  int done = 0;
#ifdef OSTRELIN_X86_KERNELS
  if (HasAvx2()) done = ExpandGreyAvx2(grey, bgr, pixels);
#endif
  ExpandGreyScalar(grey + done, bgr + 3 * done, pixels - done);
}

}  // namespace ostrelin
