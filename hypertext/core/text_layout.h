#pragma once
// Laying out a hypertext into display lines, and walking the laid-out lines the way painting and
// the hit test see them.
//
// Widths come from a TextMeasurer: the panel gives it its fonts' metrics, tests a fixed width per
// character. Layout happens once per load; painting and hit tests only scan and measure the lines
// from the first visible one down to about one window height below it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hypertext/core/text_format.h"

namespace ostrelin {

// Width of `shown` drawn in the font of segments of `kind` (None: the body font), in
// 1/Subdivision() pixels. Widths must not shrink when characters are appended (no font's kerning
// outweighs an advance); the fast wrapping relies on it.
//
// Fonts place characters at fractions of a pixel. A measurer that adds up whole-pixel advances
// drifts from the drawn text by up to half a pixel a character, so the next segment starts
// several pixels away from where the text before it really ends: a gap like a blank before a
// comma ("links ,"), or an overlap. A measurer that knows the fractions counts in them.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual int Width(SegmentKind kind, std::string_view shown) const = 0;
  virtual int Subdivision() const { return 1; }
};

// Heights of the heading font and of all other fonts, which are also the advances of heading and
// body display lines.
struct LineHeights {
  int heading = 24;
  int body = 16;
};
// Sizes 1 (klein) 20/12, 2 (mittel) 24/16, anything else (groß) 30/20.
LineHeights HeightsForFontSize(int size);

inline constexpr int kLeftMargin = 5;
inline constexpr int kRightReserve = 20;
// Text shorter than this is never cut, and a word that does not fit is cut after this many.
inline constexpr size_t kMinimumCut = 20;

// Drawn width of a display line, in the measurer's subdivided pixels: its segments' shown texts,
// each in its kind's font, scanned from nothing open (text before the first "#" is body text,
// braces in it are plain characters).
int64_t MeasureLine(const TextMeasurer& measurer, std::string_view line);

// Breaking text into pieces that fit a client width: a piece is the longest prefix that ends just
// before a blank and fits (5 + width < client width - 20); when none longer than 20 characters
// fits, the first 20 characters, wherever they end. The rest, without its leading blanks, is broken
// the same way. A completely empty text is one empty piece.
class Wrapper {
 public:
  Wrapper(const TextMeasurer& measurer, int clientWidth)
      : measurer_(measurer), clientWidth_(clientWidth) {}

  bool Fits(std::string_view text) const;

  // Searches the break point among the blanks, from the front, in doubling steps and then by
  // halving; measuring only a logarithmic number of prefixes.
  void Wrap(std::string_view text, std::vector<std::string>& pieces) const;
  // The same pieces found by trying every blank from the end of the text backwards, as the rule
  // reads. Kept as the reference the fast search is checked against.
  void WrapStepwise(std::string_view text, std::vector<std::string>& pieces) const;

 private:
  size_t BreakPoint(std::string_view text) const;
  size_t BreakPointStepwise(std::string_view text) const;

  const TextMeasurer& measurer_;
  int clientWidth_;
};

struct TextLayout {
  std::vector<std::string> lines;  // display lines, markup still in them
  std::vector<int64_t> tops;       // top of each line in pixels from the top of the text
  int64_t end = 0;                 // running position after the last regular line
  int scrollMaximum = 0;           // scroll range is 0 .. scrollMaximum, in display lines
};

enum class WrapMethod { Fast, Stepwise };

// Lays out the source's paragraphs as they complete: heading pieces advance by the heading
// height, body pieces by the body height; an unfinished last paragraph stands one body line lower
// than a next line would. Then sets the scroll range for `clientHeight` ("Leerer Text" when no line
// came out).
TextLayout LayOutText(TextSource& source, const TextMeasurer& measurer, LineHeights heights,
                      int clientWidth, int clientHeight, bool visible,
                      WrapMethod method = WrapMethod::Fast);

// ---- Scrolling ------------------------------------------------------------------------------

enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Thumb, Top, Bottom, Other };
// The position after `code`, clamped to 0 .. maximum; `thumb` is the position a thumb drag
// delivers. A page is three display lines.
int ScrollTarget(ScrollCode code, int position, int maximum, int thumb = 0);

// ---- Painting and hit testing -----------------------------------------------------------------

struct PlacedSegment {
  const Segment* segment;
  size_t line;
  int64_t x;      // from the left of the client area, whole pixels (the fraction cut off)
  int64_t top;    // of the line, in text coordinates (subtract the top of the first line)
  int width;      // whole pixels from x to where the next segment's x lies
  int height;     // of the segment's font
  double exactX;  // x with its fraction: where the text is drawn
};

// Scans every line from the first on with the segment state carried from line 0, calling
// `onSegment(const PlacedSegment&)` for the segments of lines from `first` on. Stops after a line
// that lies more than a heading height below the window, unless a link is still open there, so a
// link running on below the window is seen whole.
template <typename OnSegment>
void WalkLines(const TextLayout& layout, size_t first, int clientHeight, LineHeights heights,
               const TextMeasurer& measurer, OnSegment&& onSegment);

struct HitResult {
  SegmentKind kind = SegmentKind::None;
  std::string target;
};

// The link under the point (client coordinates) with its target gathered: a link wrapped onto
// further lines is collected from the hit piece to its end, the pieces joined by one blank.
HitResult HitTest(const TextLayout& layout, size_t first, int x, int y, int clientHeight,
                  LineHeights heights, const TextMeasurer& measurer);

template <typename OnSegment>
void WalkLines(const TextLayout& layout, size_t first, int clientHeight, LineHeights heights,
               const TextMeasurer& measurer, OnSegment&& onSegment) {
  const size_t n = layout.lines.size();
  if (n == 0) return;
  if (first >= n) first = n - 1;
  const int64_t y0 = layout.tops[first];
  const int64_t unit = std::max(1, measurer.Subdivision());
  ScanState state;
  for (size_t i = 0; i < n; ++i) {
    const bool placed = i >= first;
    // Positions run on in subdivided pixels, so the drawn texts meet where the fonts end them.
    int64_t fine = int64_t(kLeftMargin) * unit;
    ScanLine(layout.lines[i], state, [&](const Segment& segment) {
      if (!placed) return;
      const int64_t next = fine + measurer.Width(segment.kind, segment.shown);
      const int height = segment.kind == SegmentKind::Heading ? heights.heading : heights.body;
      onSegment(PlacedSegment{&segment, i, fine / unit, layout.tops[i],
                              int(next / unit - fine / unit), height, double(fine) / double(unit)});
      fine = next;
    });
    if (!IsLinkKind(state.kind) && !state.targetOpen &&
        layout.tops[i] - y0 > int64_t(clientHeight) + heights.heading) {
      break;
    }
  }
}

// ---- Reading aloud ------------------------------------------------------------------------------

// The laid-out text as a screen reader reads it: the shown text of every display line, joined by
// blanks, and the shown text of every link in order (a link wrapped over lines once).
struct ReadableText {
  std::string text;
  std::vector<std::string> links;
};
ReadableText ReadableTextOf(const TextLayout& layout);

}  // namespace ostrelin
