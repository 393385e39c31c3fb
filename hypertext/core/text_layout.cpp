#include "hypertext/core/text_layout.h"

#include <algorithm>
#include <utility>

#include "resources/core/string_table.h"

namespace ostrelin {

LineHeights HeightsForFontSize(int size) {
  switch (size) {
    case 1: return {20, 12};
    case 2: return {24, 16};
    default: return {30, 20};
  }
}

int64_t MeasureLine(const TextMeasurer& measurer, std::string_view line) {
  int64_t width = 0;
  ScanState state;
  ScanLine(line, state,
           [&](const Segment& segment) { width += measurer.Width(segment.kind, segment.shown); });
  return width;
}

bool Wrapper::Fits(std::string_view text) const {
  const int64_t unit = std::max(1, measurer_.Subdivision());
  return int64_t(kLeftMargin) * unit + MeasureLine(measurer_, text) <
         (int64_t(clientWidth_) - kRightReserve) * unit;
}

// Where a text that may be cut is cut: the text's length when it fits whole.
//
// The places to cut are the blanks after the 20th character, and the end of the text. A prefix
// that ends before a blank never ends inside a code ("#/L:" holds no blank), so its segments are
// those of the whole text with only the last one shortened, and its width grows with its length:
// the places that fit come first. The search doubles its step from the front while prefixes fit,
// then halves the gap; it measures only prefixes up to about twice the piece it finds.
size_t Wrapper::BreakPoint(std::string_view text) const {
  std::vector<size_t> places;
  for (size_t p = kMinimumCut + 1; p < text.size(); ++p) {
    if (text[p] == ' ') places.push_back(p);
  }
  places.push_back(text.size());

  // Invariant: places[fit] fits (fit == -1: none known), places[fail] does not (fail == size:
  // none known).
  ptrdiff_t fit = -1;
  ptrdiff_t fail = ptrdiff_t(places.size());
  for (ptrdiff_t step = 1; fit + step < fail; step *= 2) {
    const ptrdiff_t probe = fit + step;
    if (!Fits(text.substr(0, places[probe]))) {
      fail = probe;
      break;
    }
    fit = probe;
  }
  while (fail - fit > 1) {
    const ptrdiff_t probe = fit + (fail - fit) / 2;
    if (Fits(text.substr(0, places[probe]))) {
      fit = probe;
    } else {
      fail = probe;
    }
  }
  if (fit >= 0) return places[fit];
  return std::min(text.size(), kMinimumCut);
}

size_t Wrapper::BreakPointStepwise(std::string_view text) const {
  if (Fits(text)) return text.size();
  size_t len = text.size();
  std::string_view cut = text;
  while (len > kMinimumCut && !Fits(cut)) {
    --len;
    while (len > kMinimumCut && text[len] != ' ') --len;
    cut = text.substr(0, len);
  }
  return len;
}

namespace {

template <typename BreakAt>
void WrapWith(std::string_view text, std::vector<std::string>& pieces, BreakAt&& breakAt) {
  if (text.empty()) {
    pieces.emplace_back();
    return;
  }
  while (!text.empty()) {
    const size_t len = breakAt(text);
    pieces.emplace_back(text.substr(0, len));
    text.remove_prefix(len);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  }
}

}  // namespace

void Wrapper::Wrap(std::string_view text, std::vector<std::string>& pieces) const {
  WrapWith(text, pieces, [this](std::string_view t) { return BreakPoint(t); });
}

void Wrapper::WrapStepwise(std::string_view text, std::vector<std::string>& pieces) const {
  WrapWith(text, pieces, [this](std::string_view t) { return BreakPointStepwise(t); });
}

namespace {

class Layouter : public ParagraphFormer::Handler {
 public:
  Layouter(TextLayout& layout, const Wrapper& wrapper, LineHeights heights, WrapMethod method)
      : layout_(layout), wrapper_(wrapper), heights_(heights), method_(method) {}

  void HeadingParagraph(std::string_view text) override {
    for (std::string& piece : Wrap(text)) {
      std::erase(piece, '$');
      Append(std::move(piece), heights_.heading);
    }
  }

  void BodyParagraph(std::string_view text) override {
    for (std::string& piece : Wrap(text)) Append(std::move(piece), heights_.body);
  }

  std::string OpenParagraphGrew(std::string open) override {
    std::vector<std::string>& pieces = Wrap(open);
    for (size_t i = 0; i + 1 < pieces.size(); ++i) Append(std::move(pieces[i]), heights_.body);
    return std::move(pieces.back());
  }

  void Finish(const std::string& open) {
    if (open.empty()) return;
    // The unfinished last paragraph goes in one body line lower, without advancing.
    layout_.lines.push_back(open);
    layout_.tops.push_back(layout_.end + heights_.body);
  }

 private:
  std::vector<std::string>& Wrap(std::string_view text) {
    pieces_.clear();
    if (method_ == WrapMethod::Fast) {
      wrapper_.Wrap(text, pieces_);
    } else {
      wrapper_.WrapStepwise(text, pieces_);
    }
    return pieces_;
  }

  void Append(std::string piece, int advance) {
    layout_.lines.push_back(std::move(piece));
    layout_.tops.push_back(layout_.end);
    layout_.end += advance;  // 64 bits: a long text never wraps round onto its own top
  }

  TextLayout& layout_;
  const Wrapper& wrapper_;
  LineHeights heights_;
  WrapMethod method_;
  std::vector<std::string> pieces_;
};

}  // namespace

TextLayout LayOutText(TextSource& source, const TextMeasurer& measurer, LineHeights heights,
                      int clientWidth, int clientHeight, bool visible, WrapMethod method) {
  TextLayout layout;
  const Wrapper wrapper(measurer, clientWidth);
  Layouter layouter(layout, wrapper, heights, method);
  ParagraphFormer former(layouter);
  SourceLine line;
  while (source.Next(line)) former.Add(line);
  layouter.Finish(former.open());

  const size_t n = layout.lines.size();
  if (n >= 2 && visible) {
    // The last line from which on the regular lines still fill the window; one more is the
    // maximum, so scrolling to the end shows the last regular line within the window.
    size_t k = 0;
    for (size_t i = n - 1; i >= 1; --i) {
      if (layout.end - layout.tops[i] >= clientHeight) {
        k = i;
        break;
      }
    }
    // Where a single line is taller than the window, k + 1 would point past the last line.
    layout.scrollMaximum = int(std::min(k + 1, n - 1));
  } else {
    layout.scrollMaximum = 0;
    if (n == 0) {
      layout.lines.push_back(LoadText(text::kEmptyText));
      layout.tops.push_back(heights.body);
    }
  }
  return layout;
}

int ScrollTarget(ScrollCode code, int position, int maximum, int thumb) {
  int target = position;
  switch (code) {
    case ScrollCode::LineUp: target = position - 1; break;
    case ScrollCode::LineDown: target = position + 1; break;
    case ScrollCode::PageUp: target = position - 3; break;
    case ScrollCode::PageDown: target = position + 3; break;
    case ScrollCode::Thumb: target = thumb; break;
    case ScrollCode::Top: target = 0; break;
    case ScrollCode::Bottom: target = maximum; break;
    case ScrollCode::Other: break;
  }
  return std::clamp(target, 0, std::max(0, maximum));
}

HitResult HitTest(const TextLayout& layout, size_t first, int x, int y, int clientHeight,
                  LineHeights heights, const TextMeasurer& measurer) {
  HitResult hit;
  if (layout.lines.empty()) return hit;
  const int64_t y0 = layout.tops[std::min(first, layout.lines.size() - 1)];
  const int64_t textY = int64_t(y) + y0;
  // Gathering: once a link is hit, its continuations are collected; a code of another kind ends
  // it, and so does any code before the first visible line. A code of the same kind goes on
  // gathering, so two links of one kind written directly after each other count as one.
  // Shown text that wrapping carried onto a later line is gathered too, also after a braced
  // target has closed: the link ends only at its code.
  bool gathering = false;
  SegmentKind previous = SegmentKind::None;
  size_t scannedLine = 0;
  ScanState state;
  // Lines before the first visible one only carry the scanner state and the gathering flag (which
  // no hit can have set there yet): scanning them is enough.
  for (; scannedLine < std::min(first, layout.lines.size()); ++scannedLine) {
    ScanLine(layout.lines[scannedLine], state, [](const Segment&) {});
  }
  previous = state.kind;
  WalkLines(layout, first, clientHeight, heights, measurer, [&](const PlacedSegment& placed) {
    const Segment& segment = *placed.segment;
    if (segment.afterCode) gathering = gathering && segment.kind == previous;
    previous = segment.kind;
    if (!IsLinkKind(segment.kind)) return;
    const bool inBox = x >= placed.x && x <= placed.x + placed.width && textY >= placed.top &&
                       textY <= placed.top + placed.height;
    if (!inBox && !gathering) return;
    hit.kind = segment.kind;
    if (gathering && (hit.target.empty() || hit.target.back() != ' ')) hit.target += ' ';
    if (!segment.target.empty()) {
      if (segment.bracesWithin) {
        hit.target = segment.target;
      } else {
        hit.target += segment.target;
      }
    } else {
      hit.target += segment.shown;
    }
    gathering = true;
  });
  return hit;
}

ReadableText ReadableTextOf(const TextLayout& layout) {
  ReadableText readable;
  ScanState state;
  for (const std::string& line : layout.lines) {
    if (!readable.text.empty() && readable.text.back() != ' ') readable.text += ' ';
    ScanLine(line, state, [&readable](const Segment& segment) {
      readable.text += segment.shown;
      if (!IsLinkKind(segment.kind) || segment.shown.empty()) return;
      if (!segment.afterCode && !readable.links.empty()) {
        readable.links.back() += ' ' + segment.shown;  // the link goes on from the line before
      } else {
        readable.links.push_back(segment.shown);
      }
    });
  }
  while (!readable.text.empty() && readable.text.back() == ' ') readable.text.pop_back();
  return readable;
}

}  // namespace ostrelin
