#include "image/core/jpg_bild.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "image/core/bmp_decoder.h"
#include "image/core/cpu_features.h"
#include "resources/core/ui_texts.h"
#include "image/core/jpeg_decoder.h"
#include "platform/core/strings.h"

namespace ostrelin {
namespace {

// The atlas zooms between 1/3 and 5; anything far outside would only overflow the geometry.
constexpr float kSmallestZoom = 1.0f / 64;
constexpr float kLargestZoom = 64.0f;

constexpr std::size_t kHighlightStatusBuffer = 256;

// The sampling step of a reduction: 1/z, with a little slack so that 1/3 in single precision
// (2.9999999) still gives 3.
int ReductionStep(float zoom) { return static_cast<int>(1.0f / zoom + 0.1f); }

}  // namespace

JpgBild::JpgBild(std::string path, ClientSize client, MessageService& messages,
                 const ImageLimits& limits)
    : JpgBild(std::move(path), client, messages, JpgBildBuffers{}, limits) {}

JpgBild::JpgBild(std::string path, ClientSize client, MessageService& messages,
                 JpgBildBuffers reuse, const ImageLimits& limits)
    : messages_(messages), path_(std::move(path)), client_(client) {
  StartView();
  // The JPEG decoder reuses the pixels when the new image has as many; the zoomed bitmap is kept
  // when it is large enough for the window and freed before the decode otherwise.
  source_ = std::move(reuse.source);
  ReuseZoomed(reuse);
  if (!DecodeImageFile(path_, source_, messages_, limits)) {
    source_ = SourceImage{};
    return;
  }
  CentreTop();
}

JpgBild::JpgBild(std::string path, SourceImage decoded, ClientSize client, MessageService& messages,
                 JpgBildBuffers reuse)
    : messages_(messages), path_(std::move(path)), source_(std::move(decoded)), client_(client) {
  StartView();
  reuse.source = SourceImage{};
  ReuseZoomed(reuse);
  if (source_.Empty()) {
    source_ = SourceImage{};
    return;
  }
  CentreTop();
}

JpgBild::JpgBild(SourceImage image, ClientSize client, MessageService& messages)
    : messages_(messages), source_(std::move(image)), client_(client) {
  StartView();
  if (source_.Empty()) {
    source_ = SourceImage{};
    return;
  }
  CentreTop();
}

bool DecodeImageFile(std::string_view path, SourceImage& image, MessageService& messages,
                     const ImageLimits& limits) {
  const char last = path.empty() ? '\0' : path.back();
  return (last == 'P' || last == 'p') ? DecodeBmpFile(path, image, messages, limits)
                                      : DecodeJpegFile(path, image, messages, limits);
}

void JpgBild::ReuseZoomed(JpgBildBuffers& reuse) {
  const std::size_t zoomedBytes = (std::size_t(std::max(client_.width, 0)) / 4 * 4 + 4) *
                                  kZoomedPixelBytes *
                                  std::size_t(std::max(client_.height - kStripHeight, 0));
  if (reuse.zoomed && reuse.zoomedCapacity >= zoomedBytes) {
    zoomed_ = std::move(reuse.zoomed);
    zoomedCapacity_ = reuse.zoomedCapacity;
    built_ = reuse.zoomedLayout;
    band_ = reuse.zoomedBand;
    marginsBlack_ = reuse.marginsBlack;
  }
  reuse.zoomed.reset();
}

// The top of a tall image shows first: the centre row lies half a window below the top edge.
void JpgBild::CentreTop() {
  centre_.column = std::min(source_.width, client_.width) / 2;
  centre_.row = source_.height - std::min(client_.height - kStripHeight, source_.height) / 2;
}

void JpgBild::StartView() {
  zoom_ = 1.0f;
  horizontalOffset_ = 0;
  verticalOffset_ = 0;
  highlightStatus_ = image_text::kNoHighlight;
  // Until the first paint the bars show a small fixed range.
  scrollBars_ = ScrollBarState{true, 30, 0, 20, 0};
}

void JpgBild::SetZoomKeepingCentre(float zoom) { SetZoom(zoom, centre_.column, centre_.row, true); }

void JpgBild::SetZoom(float z, int cx, int cy, bool rebuild) {
  if (!(z >= kSmallestZoom && z <= kLargestZoom)) return;  // also refuses NaN
  centre_ = {cx, cy};
  zoomedValid_ = false;
  const int width = source_.width;
  const int height = source_.height;
  const int clientWidth = client_.width;
  const int fullHeight = client_.height;
  const int usableHeight = fullHeight - kStripHeight;

  // Horizontal: the whole width, or a window-wide part around the centre that is pushed back
  // inside the image at either edge.
  VisibleRect v;
  if (static_cast<int>(width * z) < clientWidth) {
    v.firstColumn = 0;
    v.lastColumn = width - 1;
    centre_.column = width / 2;
  } else {
    const int half = static_cast<int>(clientWidth / (2 * z));
    if (half > cx) {
      v.firstColumn = 0;
      v.lastColumn = static_cast<int>(clientWidth / z);
      centre_.column = v.lastColumn / 2;
    } else if (width - half < cx) {
      v.lastColumn = width - 1;
      v.firstColumn = width - static_cast<int>(clientWidth / z) - 1;
      centre_.column = (v.firstColumn + v.lastColumn) / 2;
    } else {
      // As many columns as the window holds, plus the one its right edge cuts, like the views at
      // either edge. cx + half alone falls one column short when the window holds an odd number
      // of them: a black strip at the right, and at the right edge a view one column short of
      // it that panning by less than a zoomed column could not move.
      v.firstColumn = cx - half;
      v.lastColumn = v.firstColumn + static_cast<int>(clientWidth / z);
    }
    // When the window is exactly as wide as the zoomed image, or the centre sits exactly half a
    // window from the edge, the bounds above reach one column past the image: keep them inside.
    v.firstColumn = std::max(v.firstColumn, 0);
    v.lastColumn = std::min(v.lastColumn, width - 1);
  }

  // Vertical, likewise in the area below the strip.
  if (static_cast<int>(height * z) < usableHeight) {
    v.firstRow = 0;
    v.lastRow = height - 1;
    centre_.row = height / 2;
  } else {
    const int half = static_cast<int>(usableHeight / (2 * z));
    if (half > cy) {
      v.firstRow = 0;
      centre_.row = half;
      v.lastRow = 2 * half;
    } else if (height - half < cy) {
      v.firstRow = height - 2 * half;
      // The centre kept is the one the next layout (every paint lays the view out again) turns
      // into these same rows. One row lower, the next paint would drop the top row and the view
      // would jump down by it.
      centre_.row = height - half;
      v.lastRow = height - 1;
    } else {
      v.firstRow = cy - half;
      v.lastRow = cy + half;
    }
    v.firstRow = std::max(v.firstRow, 0);
    v.lastRow = std::min(v.lastRow, height - 1);
  }
  visible_ = v;

  zoomedHeight_ = std::max(usableHeight, 0);
  zoomedWidth_ = std::max(clientWidth, 0) / 4 * 4 + 4;
  zoom_ = z;

  // Margins centre a small image: horizontally in the client area, vertically in the whole
  // client height (strip included), as the atlas has always placed it. An image only a little
  // lower than the area below the strip would then lose its top rows under the strip's edge;
  // the vertical margin never pushes rows out of the zoomed bitmap.
  horizontalMargin_ =
      clientWidth > width * z ? static_cast<int>((clientWidth - width * z) * 0.5f) : 0;
  verticalMargin_ =
      fullHeight > height * z ? static_cast<int>((fullHeight - height * z) * 0.5f) : 0;
  if (verticalMargin_ > 0) {
    const int rowsShown = z >= 1.0f ? static_cast<int>((height - 1) * z) + static_cast<int>(z)
                                    : (height - 1) / ReductionStep(z) + 1;
    verticalMargin_ = std::min(verticalMargin_, std::max(0, usableHeight - rowsShown));
  }

  if (rebuild) Rebuild();

  horizontalOffset_ = -static_cast<int>(v.firstColumn * z);
  verticalOffset_ = -static_cast<int>((height - v.lastRow - 1) * z);
}

ZoomedLayout JpgBild::CurrentLayout() const {
  return {zoom_, visible_, horizontalMargin_, verticalMargin_, zoomedWidth_, zoomedHeight_};
}

bool JpgBild::SetZoomKeepingBitmap(float z, int cx, int cy) {
  const bool hadBitmap = zoomedValid_;
  SetZoom(z, cx, cy, false);
  if (hadBitmap && zoomed_ && CurrentLayout() == built_) {
    zoomedValid_ = true;
    return false;
  }
  return Rebuild();
}

bool JpgBild::Rebuild() {
  const std::size_t bytes = ZoomedStride() * std::size_t(zoomedHeight_);
  // Margins that are black from a build for this same layout stay as they are.
  bool keepMargins = marginsBlack_ && zoomed_ && CurrentLayout() == built_;
  marginsBlack_ = false;
  if (bytes > zoomedCapacity_ || !zoomed_) {
    keepMargins = false;
    zoomed_.reset();
    zoomedCapacity_ = 0;
    try {
      zoomed_.reset(new std::uint32_t[std::max<std::size_t>(bytes / kZoomedPixelBytes, 1)]);
    } catch (const std::bad_alloc&) {
      messages_.Show(image_text::kNoMemoryForZoom, MessageButtons::Ok, MessageIcon::Exclamation);
      return false;
    }
    zoomedCapacity_ = bytes;
  }
  if (zoom_ >= 1.0f) {
    Magnify(static_cast<int>(zoom_), keepMargins);
  } else {
    Reduce(ReductionStep(zoom_), keepMargins);
  }
  zoomedValid_ = true;
  marginsBlack_ = true;
  built_ = CurrentLayout();
  return true;
}

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t kBlackWord = kOpaque;

// A source pixel (blue, green, red) as a zoomed pixel. Where a fourth byte may be read (every
// pixel of a row but its last), one 4-byte load does it on little-endian machines.
inline std::uint32_t WordOf3(const std::uint8_t* p) {
  return kOpaque | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}
inline std::uint32_t WordOf4(const std::uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word | kOpaque;
  } else {
    return WordOf3(p);
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Zoom 1 and 2 by byte shuffles (x86 is little-endian, as WordOf4 has it): 8 pixels a step, or
// 4 pixels each twice. A step reads 28 or 16 bytes from `from`, a pixel and a third beyond the
// ones it converts, so it runs only while two more pixels follow in the row. Returns how many
// pixels were converted.
__attribute__((target("avx2"))) int ExpandOnceAvx2(const std::uint8_t* from, std::uint32_t* to,
                                                   int count) {
  const __m256i shuffle = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,  //
                                           0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
  int i = 0;
  for (; i + 10 <= count; i += 8, from += 24, to += 8) {
    const __m256i in = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 12)), 1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to),
                        _mm256_or_si256(_mm256_shuffle_epi8(in, shuffle), opaque));
  }
  return i;
}

__attribute__((target("avx2"))) int ExpandTwiceAvx2(const std::uint8_t* from, std::uint32_t* to,
                                                    int count) {
  const __m256i shuffle = _mm256_setr_epi8(0, 1, 2, -1, 0, 1, 2, -1, 3, 4, 5, -1, 3, 4, 5, -1,  //
                                           6, 7, 8, -1, 6, 7, 8, -1, 9, 10, 11, -1, 9, 10, 11, -1);
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
  int i = 0;
  for (; i + 6 <= count; i += 4, from += 12, to += 8) {
    const __m256i in =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to),
                        _mm256_or_si256(_mm256_shuffle_epi8(in, shuffle), opaque));
  }
  return i;
}
#endif

// Converts `count` pixels, each repeated `repeat` times, and stops at `room` pixels.
void RepeatPixels(const std::uint8_t* from, int count, int repeat, std::uint32_t* to, int room) {
  const int whole = std::min(count, room / repeat);
  int i = 0;
#if defined(__x86_64__) || defined(__i386__)
  if ((repeat == 1 || repeat == 2) && HasAvx2()) {
    i = repeat == 1 ? ExpandOnceAvx2(from, to, whole) : ExpandTwiceAvx2(from, to, whole);
    from += std::size_t(i) * 3;
    to += std::size_t(i) * std::size_t(repeat);
  }
#endif
  if (repeat == 1) {
    for (; i + 1 < whole; ++i, from += 3) *to++ = WordOf4(from);
  } else if (repeat == 2) {  // the common magnification
    for (; i + 1 < whole; ++i, from += 3, to += 2) to[0] = to[1] = WordOf4(from);
  } else {
    for (; i + 1 < whole; ++i, from += 3, to += repeat) std::fill_n(to, repeat, WordOf4(from));
  }
  for (; i < whole; ++i, from += 3, to += repeat) std::fill_n(to, repeat, WordOf3(from));
  if (whole < count) {  // the block cut by the row end
    std::fill_n(to, room - whole * repeat, WordOf3(from));
  }
}

// Converts every `step`-th of `count` pixels, at most `room` of them.
void SamplePixels(const std::uint8_t* from, int count, int step, std::uint32_t* to, int room) {
  const int taken = std::min((count + step - 1) / step, room);
  const std::size_t stride = std::size_t(step) * 3;
  int i = 0;
  for (; i + 1 < taken; ++i, from += stride) *to++ = WordOf4(from);
  for (; i < taken; ++i, from += stride) *to++ = WordOf3(from);
}

}  // namespace

// With `keepMargins` the bitmap holds black outside the band this same layout writes, and only
// the band is written.
void JpgBild::Magnify(int repeat, bool keepMargins) {
  const VisibleRect& v = visible_;
  const int width = zoomedWidth_;
  const int columns = v.lastColumn - v.firstColumn + 1;
  const int room = zoomedWidth_ - horizontalMargin_;
  const int left = horizontalMargin_;
  const int written = std::min(columns * repeat, room);
  const std::size_t bandBytes = std::size_t(std::max(written, 0)) * kZoomedPixelBytes;
  int next = 0;  // the lowest row not written yet
  int bottom = -1;
  for (int r = v.firstRow; r <= v.lastRow && columns > 0; ++r) {
    const int d = ZoomedY(r);
    if (d >= zoomedHeight_) break;
    if (bottom < 0) {
      bottom = d;
      if (keepMargins) next = d;
    }
    for (; next < d; ++next) std::fill_n(ZoomedRowForWrite(next), width, kBlackWord);
    std::uint32_t* row = ZoomedRowForWrite(d);
    const std::uint8_t* from = source_.Row(r) + std::size_t(v.firstColumn) * 3;
    if (!keepMargins) std::fill_n(row, left, kBlackWord);
    RepeatPixels(from, columns, repeat, row + left, room);
    if (!keepMargins) std::fill_n(row + left + written, width - left - written, kBlackWord);
    const int end = std::min(d + repeat, zoomedHeight_);
    for (int k = d + 1; k < end; ++k) {
      std::memcpy(ZoomedRowForWrite(k) + left, row + left, bandBytes);
      if (!keepMargins) {
        std::fill_n(ZoomedRowForWrite(k), left, kBlackWord);
        std::fill_n(ZoomedRowForWrite(k) + left + written, width - left - written, kBlackWord);
      }
    }
    next = end;
  }
  band_ = bottom < 0 ? ZoomedBand{} : ZoomedBand{left, left + written, bottom, next};
  if (keepMargins) return;
  for (; next < zoomedHeight_; ++next) std::fill_n(ZoomedRowForWrite(next), width, kBlackWord);
}

void JpgBild::Reduce(int step, bool keepMargins) {
  const VisibleRect& v = visible_;
  const int width = zoomedWidth_;
  const int columns = v.lastColumn - v.firstColumn + 1;
  const int room = zoomedWidth_ - horizontalMargin_;
  const int left = horizontalMargin_;
  const int written = std::min((columns + step - 1) / step, room);
  int next = 0;
  int bottom = -1;
  for (int r = v.firstRow; r <= v.lastRow && columns > 0; r += step) {
    const int d = ZoomedY(r);
    if (d >= zoomedHeight_) break;
    if (bottom < 0) {
      bottom = d;
      if (keepMargins) next = d;
    }
    for (; next < d; ++next) std::fill_n(ZoomedRowForWrite(next), width, kBlackWord);
    std::uint32_t* row = ZoomedRowForWrite(d);
    if (!keepMargins) std::fill_n(row, left, kBlackWord);
    SamplePixels(source_.Row(r) + std::size_t(v.firstColumn) * 3, columns, step, row + left, room);
    if (!keepMargins) std::fill_n(row + left + written, width - left - written, kBlackWord);
    next = d + 1;
  }
  band_ = bottom < 0 ? ZoomedBand{} : ZoomedBand{left, left + written, bottom, next};
  if (keepMargins) return;
  for (; next < zoomedHeight_; ++next) std::fill_n(ZoomedRowForWrite(next), width, kBlackWord);
}

int JpgBild::ZoomedY(int row) const {
  const int offset = row - visible_.firstRow;
  return zoom_ >= 1.0f ? static_cast<int>(offset * zoom_ + verticalMargin_)
                       : verticalMargin_ + offset / ReductionStep(zoom_);
}

// The plotter counts the margins in image pixels (truncated) and scales the whole position by the
// zoom. With a margin that is not a multiple of the zoom this lands up to zoom - 1 window pixels
// left of or below the magnifier's block, less than one image pixel; the outlines of the atlas
// have always been drawn so.
ImagePoint JpgBild::PlotPosition(ImagePoint p) const {
  const float z = zoom_;
  const int column = p.column - visible_.firstColumn + static_cast<int>(horizontalMargin_ / z);
  const int row = p.row - visible_.firstRow + static_cast<int>(verticalMargin_ / z);
  return {static_cast<int>(column * z), static_cast<int>(row * z)};
}

int JpgBild::BlockSize() const { return zoom_ > 1.0f ? static_cast<int>(zoom_) : 1; }

void JpgBild::SetHorizontalOffset(int offset) {
  if (offset == horizontalOffset_) return;
  centre_.column += static_cast<int>((horizontalOffset_ - offset) / zoom_);
  horizontalOffset_ = offset;
}

void JpgBild::SetVerticalOffset(int offset) {
  if (offset == verticalOffset_) return;
  centre_.row += static_cast<int>((offset - verticalOffset_) / zoom_);
  verticalOffset_ = offset;
}

void JpgBild::UpdateScrollBars() {
  const float z = zoom_;
  // The limits are whole multiples of the zoom, so a scrolled view starts on a pixel boundary.
  const auto snap = [z](int offset) { return static_cast<int>(static_cast<int>(offset / z) * z); };
  smallestVerticalOffset_ =
      snap(client_.height - static_cast<int>((source_.height - 1) * z + 0.0001f) - kStripHeight);
  smallestHorizontalOffset_ = snap(client_.width - static_cast<int>(source_.width * z + 0.0001f));
  // An image that fits gives a positive limit; the bars then span its size all the same, and
  // the next paint centres the image again wherever they are moved.
  scrollBars_.shown = true;
  scrollBars_.verticalMax = std::abs(smallestVerticalOffset_);
  scrollBars_.horizontalMax = std::abs(smallestHorizontalOffset_);
  scrollBars_.verticalPosition = std::abs(verticalOffset_);
  scrollBars_.horizontalPosition = std::abs(horizontalOffset_);
}

std::string JpgBild::ZoomText() const {
  char text[64];
  std::snprintf(text, sizeof text, "  Zoom: %4.2f   ", static_cast<double>(zoom_));
  return text;
}

ImagePoint JpgBild::WindowPointToPixel(int x, int y) const {
  // Floor rather than truncation: a point half a zoomed pixel left of the image is outside it.
  const float column = std::floor(float(std::int64_t(x) - horizontalOffset_) / zoom_);
  const float up =
      std::floor(float(std::int64_t(zoomedHeight_) - 1 - (std::int64_t(y) - kStripHeight)) / zoom_);
  const float row = float(visible_.firstRow) + up;
  if (!(column >= 0.0f && column < float(source_.width) && row >= 0.0f &&
        row < float(source_.height))) {
    return {0, 0};
  }
  return {static_cast<int>(column), static_cast<int>(row)};
}

bool JpgBild::MarkOverview(ImagePoint pixel, OverviewPixels overview) {
  if (overview.bgr == nullptr || overview.columns <= 0 || overview.rows <= 0) return false;
  const auto at = [&overview](int x, int y) -> std::uint8_t* {
    if (x < 0 || x >= overview.columns || y < 0 || y >= overview.rows) return nullptr;
    // y counts down from the top; the rows are stored bottom-up.
    return overview.bgr +
           (std::size_t(overview.rows - 1 - y) * std::size_t(overview.columns) + std::size_t(x)) *
               3;
  };
  // The previous marker gives its pixels back, when it was drawn into this same overview.
  if (marker_.buffer == overview.bgr && marker_.columns == overview.columns &&
      marker_.rows == overview.rows) {
    for (int dy = 0; dy < 2; ++dy) {
      for (int dx = 0; dx < 2; ++dx) {
        if (std::uint8_t* p = at(marker_.x + dx, marker_.y + dy)) {
          std::memcpy(p, marker_.saved[dy][dx], 3);
        }
      }
    }
  }
  marker_.buffer = overview.bgr;
  marker_.columns = overview.columns;
  marker_.rows = overview.rows;
  // The block's top left corner sits at (column / 4, H / 4 - row / 4) in window coordinates,
  // just below the overview pixel that shows the image pixel; for the bottom four image rows it
  // lies below the overview and is not drawn.
  marker_.x = pixel.column / 4;
  marker_.y = source_.height / 4 - pixel.row / 4;
  static constexpr std::uint8_t kRed[3] = {0, 0, 255};
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      if (std::uint8_t* p = at(marker_.x + dx, marker_.y + dy)) {
        std::memcpy(marker_.saved[dy][dx], p, 3);
        std::memcpy(p, kRed, 3);
      }
    }
  }
  return ++markings_ % 11 == 0;
}

void JpgBild::PlotPoints(Bgr colour, std::span<const ImagePoint> points) {
  if (!zoomedValid_) return;
  const VisibleRect& v = visible_;
  const int block = BlockSize();
  const std::uint32_t word =
      kOpaque | std::uint32_t(colour.red) << 16 | std::uint32_t(colour.green) << 8 | colour.blue;
  for (const ImagePoint& p : points) {
    if (p.column < v.firstColumn || p.column > v.lastColumn || p.row < v.firstRow ||
        p.row > v.lastRow) {
      continue;
    }
    const auto [x, y] = PlotPosition(p);
    const int right = std::min(x + block, zoomedWidth_);
    const int top = std::min(y + block, zoomedHeight_);
    if (x < band_.left || right > band_.right || y < band_.bottom || top > band_.top) {
      marginsBlack_ = false;  // a block reaches into the margin
    }
    for (int yy = y; yy < top; ++yy) {
      std::uint32_t* pixel = ZoomedRowForWrite(yy) + x;
      for (int xx = x; xx < right; ++xx) *pixel++ = word;
    }
  }
}

void JpgBild::DrawVLine(int column, int from, int to, Bgr colour) {
  const VisibleRect& v = visible_;
  // The last two visible columns never get a line (the atlas has always stopped short of them).
  if (column < v.firstColumn || column > v.lastColumn - 2) return;
  // A window lower than the strip shows no rows (first above last): nothing to clamp into.
  if (v.firstRow > v.lastRow) return;
  const bool fromOutside = from < v.firstRow || from > v.lastRow;
  const bool toOutside = to < v.firstRow || to > v.lastRow;
  if (fromOutside && toOutside && !(from < v.firstRow && to > v.lastRow)) return;
  from = std::clamp(from, v.firstRow, v.lastRow);
  to = std::clamp(to, v.firstRow, v.lastRow);
  if (from > to) return;
  try {
    line_.clear();
    line_.reserve(std::size_t(to - from) + 1);
    for (int row = from; row <= to; ++row) line_.push_back({column, row});
  } catch (const std::bad_alloc&) {
    messages_.Show(image_text::kNoMemoryDrawVLine, MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  PlotPoints(colour, line_);
}

void JpgBild::SetHighlightStatus(std::string_view text) {
  highlightStatus_ = CutToBuffer(text, kHighlightStatusBuffer);
}

void JpgBild::Release() {
  source_ = SourceImage{};
  zoomed_.reset();
  zoomedCapacity_ = 0;
  zoomedValid_ = false;
}

JpgBildBuffers JpgBild::TakeBuffers() {
  JpgBildBuffers buffers{std::move(source_), std::move(zoomed_), zoomedCapacity_, built_, band_,
                         marginsBlack_};
  Release();
  return buffers;
}

}  // namespace ostrelin
