// Laying out a long hypertext: 200 KB of long paragraphs full of long, wrapped links, at the middle
// font size in an 819-pixel panel.
//
// Yardstick: one measurement pass over the whole text (every byte's width added up once), the
// least any layout has to do. "x_measure_pass" is the layout time as a multiple of that pass.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "hypertext/core/text_layout.h"
#include "tests/support/text_measurers.h"

namespace {

using namespace ostrelin;
using Clock = std::chrono::steady_clock;

constexpr size_t kTextBytes = 200 * 1024;
constexpr int kPanelWidth = 819;
constexpr int kPanelHeight = 600;

// Paragraphs of about 4000 characters in body lines of about 300, every few words a link whose
// words run over several display lines; a heading now and then.
const std::string& MakeText() {
  static const std::string text = [] {
    static const char* const kWords[] = {"Arteria",     "carotis", "communis",  "sinistra",
                                         "und",         "Vena",    "jugularis", "interna",
                                         "verlaufen",   "im",      "Spatium",   "lateropharyngeum",
                                         "Herzt\xF6ne", "mit"};
    std::string t;
    size_t word = 0;
    int lineLength = 0;
    int paragraph = 0;
    while (t.size() < kTextBytes) {
      if (word % 9 == 4) {
        t += "#/L:Nervus vagus und Truncus sympathicus der linken Seite{N. vagus sinister}# ";
      } else if (word % 23 == 11) {
        t += "#/P:Musculus sternocleidomastoideus und Musculus omohyoideus# ";
      }
      t += kWords[word++ % std::size(kWords)];
      t += ' ';
      if ((lineLength += 12) > 300) {
        lineLength = 0;
        t += "\r\n";
        if (++paragraph % 14 == 0) t += "$\r\n#/H:Hals und Nacken$\r\n";
      }
    }
    return t;
  }();
  return text;
}

double MeasurePass(const TextMeasurer& measurer, const std::string& text) {
  double best = 1e9;
  for (int run = 0; run < 20; ++run) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(measurer.Width(SegmentKind::Plain, text));
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

void BM_LayOutLongText(benchmark::State& state) {
  const std::string& text = MakeText();
  const test::ProportionalMeasurer measurer;
  const double yardstick = MeasurePass(measurer, text);
  double best = 1e9;
  size_t lines = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    TextSource source = TextSource::FromBytes(text);
    const TextLayout layout =
        LayOutText(source, measurer, HeightsForFontSize(2), kPanelWidth, kPanelHeight, true);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    lines = layout.lines.size();
    benchmark::DoNotOptimize(layout.end);
  }
  state.counters["lines"] = double(lines);
  state.counters["best_ms"] = best * 1e3;
  state.counters["x_measure_pass"] = best / yardstick;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_LayOutLongText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
