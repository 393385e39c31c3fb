// Hypertext from arbitrary bytes: source lines, paragraphs, wrapping (fast and stepwise alike), the
// scroll range, and the segment scanner through painting's walk, the hit test and the readable
// text. The same bytes opened as the text file of a page give the same source lines.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "hypertext/core/text_layout.h"
#include "tests/support/text_measurers.h"

using ostrelin::fuzz::Check;

namespace {

// Every source line of a text, and whether it is a heading.
std::vector<std::pair<std::string, bool>> LinesOf(ostrelin::TextSource source) {
  std::vector<std::pair<std::string, bool>> lines;
  ostrelin::SourceLine line;
  while (source.Next(line)) lines.emplace_back(line.text, line.heading);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  if (size < 2) return 0;
  // The first two bytes choose the panel: width 0 .. 1020 and height 0 .. 510.
  const int width = data[0] * 4;
  const int height = data[1] * 2;
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  const test::ProportionalMeasurer measurer;
  const LineHeights heights = HeightsForFontSize(data[0] % 3 + 1);

  TextSource source = TextSource::FromBytes(bytes);
  const TextLayout layout = LayOutText(source, measurer, heights, width, height, true);
  const size_t n = layout.lines.size();
  Check(n >= 1 && layout.tops.size() == n);
  Check(layout.scrollMaximum >= 0 && size_t(layout.scrollMaximum) < n);
  for (size_t i = 1; i + 1 < n; ++i) Check(layout.tops[i] >= layout.tops[i - 1]);

  if (bytes.size() < 4096) {  // the stepwise rule is quadratic; keep it to small inputs
    TextSource again = TextSource::FromBytes(bytes);
    const TextLayout stepwise =
        LayOutText(again, measurer, heights, width, height, true, WrapMethod::Stepwise);
    Check(stepwise.lines == layout.lines);
  }

  const size_t first = size_t(layout.scrollMaximum);
  size_t walked = 0;
  WalkLines(layout, first, height, heights, measurer, [&](const PlacedSegment& placed) {
    Check(placed.line >= first && placed.width >= 0);
    // Links are coloured, everything else is black.
    const bool black = SegmentColour(placed.segment->kind) == Rgb{0, 0, 0};
    Check(IsLinkKind(placed.segment->kind) == !black);
    ++walked;
  });
  (void)walked;
  for (int y : {0, heights.body / 2, height / 2}) {
    const HitResult hit = HitTest(layout, first, 10, y, height, heights, measurer);
    Check(hit.kind == SegmentKind::None || IsLinkKind(hit.kind));
  }
  if (bytes.size() < 4096) {  // a second pass over every line; the small inputs reach it all
    const ReadableText readable = ReadableTextOf(layout);
    Check(readable.text.empty() || readable.text.back() != ' ');
    for (const std::string& link : readable.links) Check(!link.empty());
  }
  for (int code = 0; code <= int(ScrollCode::Other); ++code) {
    const int target = ScrollTarget(ScrollCode(code), int(first), layout.scrollMaximum, height);
    Check(0 <= target && target <= layout.scrollMaximum);
  }

  // The text file of a page, in the folder of the image type the first byte chooses (none too).
  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (fuzz::InputHash(bytes) % 16 != 1) return 0;
  const std::string& root = fuzz::ScratchDirectory();
  const ImageType type = ImageType(data[0] % 6) - 1;
  std::string folder = HypertextDirectory(type);
  std::replace(folder.begin(), folder.end(), '\\', '/');
  fuzz::ScratchFile(folder + "fuzz.txt", bytes);
  const TextSource opened = TextSource::Open(TextPath(root, "fuzz.txt", true, type));
  Check(opened.opened() && LinesOf(opened) == LinesOf(TextSource::FromBytes(bytes)));
  // While the text is switched off its stand-in is shown; there is none here, so the missing-file
  // line stands for it.
  const std::string hidden = TextPath(root, NoObjectTextName(), false, type);
  const TextSource missing = TextSource::Open(hidden);
  const auto missingLines = LinesOf(missing);
  Check(!missing.opened() && missingLines.size() == 1 && missingLines[0].second);
  Check(missingLines[0].first.find(hidden) != std::string::npos);
  return 0;
}
