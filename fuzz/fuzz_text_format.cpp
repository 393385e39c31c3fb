// Hypertext from arbitrary bytes: source lines, paragraphs, wrapping (fast and stepwise alike), the
// scroll range, and the segment scanner through painting's walk and the hit test.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "hypertext/core/text_layout.h"
#include "tests/support/text_measurers.h"

using ostrelin::fuzz::Check;

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
    ++walked;
  });
  (void)walked;
  for (int y : {0, heights.body / 2, height / 2}) {
    const HitResult hit = HitTest(layout, first, 10, y, height, heights, measurer);
    Check(hit.kind == SegmentKind::None || IsLinkKind(hit.kind));
  }
  return 0;
}
