// The object list of a large image: 2048 x 1216 pixels, 200 structures. Loading the outline file,
// one hit test, and highlighting the largest structure as outline and filled, painting into a
// 24-bit bitmap of the image's size as the image object does at zoom 1.
//
// Yardstick: one pass over the large structure's runs, summing their rows - the least any drawing
// of the structure has to do. "x_run_pass" is each operation's time as a multiple of that pass;
// "ms" is the absolute time (a frame at 60 Hz is 16.7 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/core/scripted_message_service.h"
#include "structures/core/object_list.h"
#include "structures/core/outline_file.h"

namespace {

using namespace ostrelin;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 2048;
constexpr int kHeight = 1216;
constexpr int kStructures = 200;

// A ring (an ellipse with an elliptic hole) centred at (cx, cy): one or two runs per column.
OutlineRecord Ring(int number, double cx, double cy, double rx, double ry, double hole) {
  OutlineRecord record;
  record.number = std::uint8_t(number);
  record.name = "Struktur " + std::to_string(number);
  record.first = std::max(0, int(cx - rx));
  record.last = std::min(kWidth - 1, int(cx + rx));
  for (int c = record.first; c <= record.last; ++c) {
    std::vector<OutlineRun>& column = record.columns.emplace_back();
    const double dx = (c - cx) / rx;
    if (std::abs(dx) >= 1) continue;
    const double half = ry * std::sqrt(1 - dx * dx);
    const int lo = std::max(0, int(cy - half));
    const int hi = std::min(kHeight - 1, int(cy + half));
    const double hx = std::abs(dx) / hole;
    if (hx < 1) {
      const double inner = hole * ry * std::sqrt(1 - hx * hx);
      column.push_back({std::uint16_t(lo), std::uint16_t(std::max(lo, int(cy - inner)))});
      column.push_back({std::uint16_t(std::min(hi, int(cy + inner))), std::uint16_t(hi)});
    } else {
      column.push_back({std::uint16_t(lo), std::uint16_t(hi)});
    }
  }
  return record;
}

// The large structure is the last one, so every hit test walks the whole list.
const std::string& OutlineBytesOfImage() {
  static const std::string bytes = [] {
    OutlineFile file;
    file.title = "Bench";
    std::mt19937 random(2048);
    for (int i = 0; i < kStructures - 1; ++i) {
      const double rx = 10 + random() % 150;
      const double ry = 10 + random() % 150;
      file.records.push_back(Ring(i, double(random() % kWidth), double(random() % kHeight), rx, ry,
                                  0.3 + (random() % 50) / 100.0));
    }
    file.records.push_back(Ring(kStructures - 1, 1024, 608, 900, 560, 0.4));
    std::string out;
    std::string error;
    if (!EncodeOutline(file, out, error)) std::abort();
    return out;
  }();
  return bytes;
}

// Writes into a bitmap of the image's size, three bytes per pixel, rows bottom-up.
class BitmapPlotter : public PointPlotter {
 public:
  BitmapPlotter() : pixels_(size_t(kWidth) * kHeight * 3) {}
  void PlotPoints(Bgr colour, std::span<const ImagePoint> points) override {
    for (const ImagePoint& p : points) {
      if (p.column < 0 || p.column >= kWidth || p.row < 0 || p.row >= kHeight) continue;
      Put(p.column, p.row, colour);
    }
  }
  void DrawVLine(int column, int from, int to, Bgr colour) override {
    if (column < 0 || column >= kWidth) return;
    from = std::max(from, 0);
    to = std::min(to, kHeight - 1);
    for (int row = from; row <= to; ++row) Put(column, row, colour);
  }
  const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

 private:
  void Put(int column, int row, Bgr colour) {
    std::uint8_t* p = &pixels_[(size_t(row) * kWidth + size_t(column)) * 3];
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
  }
  std::vector<std::uint8_t> pixels_;
};

struct Fixture {
  BitmapPlotter plotter;
  ScriptedMessageService messages;
  Objektliste list{plotter, OutlineBytes{OutlineBytesOfImage()}, messages};
  const Punkteliste& Large() const { return *list.At(kStructures - 1).outline; }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

long RunPass(const Punkteliste& region) {
  long sum = 0;
  for (int c = region.FirstColumn(); c <= region.LastColumn(); ++c) {
    for (const OutlineRun& run : region.Strand(c)) sum += run.start + run.end;
  }
  return sum;
}

// Best time of one pass over the large structure's runs, in seconds.
double RunPassSeconds() {
  static const double seconds = [] {
    const Punkteliste& large = Shared().Large();
    double best = 1e9;
    for (int round = 0; round < 2000; ++round) {
      const auto start = Clock::now();
      benchmark::DoNotOptimize(RunPass(large));
      best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
  }();
  return seconds;
}

// Times `op` itself, best of the iterations, and reports it against the yardstick.
template <class Op>
void Measure(benchmark::State& state, Op&& op) {
  const double yardstick = RunPassSeconds();
  double best = 1e9;
  for (auto _ : state) {
    const auto start = Clock::now();
    op();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.counters["x_run_pass"] = best / yardstick;
  state.counters["ms"] = best * 1e3;
}

void BM_RunPass(benchmark::State& state) {
  const Punkteliste& large = Shared().Large();
  for (auto _ : state) benchmark::DoNotOptimize(RunPass(large));
  size_t runs = 0;
  for (int c = large.FirstColumn(); c <= large.LastColumn(); ++c) runs += large.Strand(c).size();
  state.counters["columns"] = double(large.LastColumn() - large.FirstColumn() + 1);
  state.counters["runs"] = double(runs);
}
BENCHMARK(BM_RunPass)->Unit(benchmark::kMicrosecond);

void BM_LoadOutlineFile(benchmark::State& state) {
  BitmapPlotter plotter;
  ScriptedMessageService messages;
  Measure(state, [&] {
    Objektliste list(plotter, OutlineBytes{OutlineBytesOfImage()}, messages);
    benchmark::DoNotOptimize(list.Count());
  });
  state.counters["bytes"] = double(OutlineBytesOfImage().size());
}
BENCHMARK(BM_LoadOutlineFile)->Unit(benchmark::kMicrosecond);

void BM_HitTest(benchmark::State& state) {
  Fixture& f = Shared();
  std::mt19937 random(7);
  size_t hits = 0;
  Measure(state, [&] {
    hits += size_t(f.list.HitTest(int(random() % kWidth), int(random() % kHeight)).size());
  });
  benchmark::DoNotOptimize(hits);
}
BENCHMARK(BM_HitTest)->Unit(benchmark::kMicrosecond);

void BM_PaintOutlineOfLargeStructure(benchmark::State& state) {
  Fixture& f = Shared();
  Measure(state, [&] { f.list.Draw(kStructures - 1, kDrawOutline); });
  benchmark::DoNotOptimize(f.plotter.Pixels().data());
}
BENCHMARK(BM_PaintOutlineOfLargeStructure)->Unit(benchmark::kMicrosecond);

void BM_PaintFilledLargeStructure(benchmark::State& state) {
  Fixture& f = Shared();
  Measure(state, [&] { f.list.Draw(kStructures - 1, kDrawFilled); });
  benchmark::DoNotOptimize(f.plotter.Pixels().data());
}
BENCHMARK(BM_PaintFilledLargeStructure)->Unit(benchmark::kMicrosecond);

// The same without the bitmap: only what the object list itself spends on the lines.
void BM_PaintFilledLargeStructureCallsOnly(benchmark::State& state) {
  class Counting : public PointPlotter {
   public:
    void PlotPoints(Bgr, std::span<const ImagePoint> points) override { count += points.size(); }
    void DrawVLine(int, int from, int to, Bgr) override { count += size_t(to - from + 1); }
    size_t count = 0;
  } counting;
  ScriptedMessageService messages;
  Objektliste list(counting, OutlineBytes{OutlineBytesOfImage()}, messages);
  Measure(state, [&] { list.Draw(kStructures - 1, kDrawFilled); });
  benchmark::DoNotOptimize(counting.count);
}
BENCHMARK(BM_PaintFilledLargeStructureCallsOnly)->Unit(benchmark::kMicrosecond);

// Every structure as outline, as "show all markable structures" paints them.
void BM_PaintAllOutlines(benchmark::State& state) {
  Fixture& f = Shared();
  Measure(state, [&] {
    for (int i = 0; i < f.list.Count(); ++i) f.list.Draw(i, kDrawOutline);
  });
}
BENCHMARK(BM_PaintAllOutlines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
