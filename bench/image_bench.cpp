// Loading sectional images and rebuilding the zoomed view.
//
// Yardsticks, measured in the same run:
// - "x_libjpeg": loading a 2048 x 1216 JPEG (quality 90, photograph-like; colour and grey) as a
//   multiple of libjpeg decoding the same file straight to BGR with its own colour conversion
//   (goals: colour at most 1.15, grey at most 1.05). Both sides open the file through stdio and
//   write into a freshly allocated bitmap of the same size, bottom-up, so both pay alike for the
//   new memory's page faults. At the end of the run the two figures are printed on lines of
//   their own, "jpeg colour: N.NN× libjpeg" and "jpeg grey: N.NN× libjpeg";
// - "x_memcpy": rebuilding the zoomed bitmap of a 1600 x 1000 view as a multiple of a memcpy of
//   the bitmap's bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/race.h"
#include "image/core/colour_tables.h"
#include "image/core/jpeg_decoder.h"
#include "image/core/jpg_bild.h"
#include "tests/support/image_samples.h"

namespace {

using namespace ostrelin;

constexpr int kWidth = 2048;
constexpr int kHeight = 1216;

class SilentMessages : public MessageService {
 public:
  MessageAnswer Show(std::string_view, MessageButtons, MessageIcon, std::string_view) override {
    ++shown;
    return MessageAnswer::Ok;
  }
  void Beep(MessageIcon) override {}
  int shown = 0;
};

// The two sample files, written once into a temporary folder.
struct Samples {
  std::filesystem::path dir;
  std::string colour;
  std::string grey;
  ~Samples() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

const Samples& MakeSamples() {
  static const Samples samples = [] {
    Samples s;
    s.dir =
        std::filesystem::temp_directory_path() / ("ostrelin-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(s.dir);
    const auto rgb = test::PhotoLikeRgb(kWidth, kHeight);
    test::JpegOptions options;
    options.quality = 90;
    const auto colour = test::EncodeJpeg(rgb, kWidth, kHeight, 3, JCS_RGB, options);
    std::vector<std::uint8_t> grey(std::size_t(kWidth) * kHeight);
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = rgb[i * 3 + 1];
    const auto greyJpeg = test::EncodeJpeg(grey, kWidth, kHeight, 1, JCS_GRAYSCALE, options);
    s.colour = (s.dir / "colour.jpg").string();
    s.grey = (s.dir / "grey.jpg").string();
    std::ofstream(s.colour, std::ios::binary)
        .write(reinterpret_cast<const char*>(colour.data()), std::streamsize(colour.size()));
    std::ofstream(s.grey, std::ios::binary)
        .write(reinterpret_cast<const char*>(greyJpeg.data()), std::streamsize(greyJpeg.size()));
    return s;
  }();
  return samples;
}

// libjpeg on its own: the stdio source, its SIMD conversion straight to BGR, one fresh buffer.
std::size_t LibjpegToBgr(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  jpeg_decompress_struct d{};
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_stdio_src(&d, file);
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&d);
  const std::size_t rowBytes = std::size_t(d.output_width) * 3;
  std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[rowBytes * d.output_height]);
  while (d.output_scanline < d.output_height) {
    JSAMPROW rows[16];
    const JDIMENSION first = d.output_scanline;
    const JDIMENSION n = std::min<JDIMENSION>(16, d.output_height - first);
    for (JDIMENSION k = 0; k < n; ++k) {
      rows[k] = pixels.get() + rowBytes * (d.output_height - 1 - (first + k));
    }
    jpeg_read_scanlines(&d, rows, n);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  std::fclose(file);
  benchmark::DoNotOptimize(pixels.get());
  return rowBytes * d.output_height;
}

using bench::Race;
using bench::Seconds;

// The best ratios of the run, for the summary lines; 0 when not measured.
double colourRatio = 0;
double greyRatio = 0;

void BM_LibjpegToBgr(benchmark::State& state, bool grey) {
  const std::string& path = grey ? MakeSamples().grey : MakeSamples().colour;
  for (auto _ : state) benchmark::DoNotOptimize(LibjpegToBgr(path));
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK_CAPTURE(BM_LibjpegToBgr, colour, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LibjpegToBgr, grey, true)->Unit(benchmark::kMillisecond);

void BM_LoadJpeg(benchmark::State& state, bool grey) {
  const std::string& path = grey ? MakeSamples().grey : MakeSamples().colour;
  InitColourTables();  // the main window builds them before the first image
  SilentMessages messages;
  Race race;
  for (auto _ : state) {
    const double yardstick = Seconds([&] { LibjpegToBgr(path); });
    bool loaded = false;
    const double measured = Seconds([&] {
      SourceImage image;
      loaded = DecodeJpegFile(path, image, messages);
      benchmark::DoNotOptimize(image.pixels.get());
    });
    if (!loaded) {
      state.SkipWithError("the sample did not load");
      break;
    }
    race.Record(yardstick, measured);
  }
  state.counters["x_libjpeg"] = race.Ratio();
  state.counters["ms"] = race.measured * 1e3;
  state.counters["libjpeg_ms"] = race.yardstick * 1e3;
  (grey ? greyRatio : colourRatio) = race.Ratio();
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK_CAPTURE(BM_LoadJpeg, colour, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_LoadJpeg, grey, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The image window's paint: the view of a 2048 x 1216 image in a window whose image area is
// 1600 x 1000, rebuilt around the same centre. Argument: zoom x 6 (2 = 1/3, 3 = 1/2, 6 = 1, ...).
void BM_RebuildZoomed(benchmark::State& state) {
  const float zoom = float(state.range(0)) / 6.0f;
  SourceImage source;
  source.width = kWidth;
  source.height = kHeight;
  source.pixels.reset(new std::uint8_t[source.Bytes()]);
  const auto rgb = test::PhotoLikeRgb(kWidth, kHeight);
  std::memcpy(source.pixels.get(), rgb.data(), source.Bytes());
  SilentMessages messages;
  JpgBild bild(std::move(source), {1600, 1000 + kStripHeight}, messages);
  bild.SetZoom(zoom, kWidth / 2, kHeight / 2, true);  // first build allocates the bitmap
  const std::size_t bytes = bild.ZoomedStride() * std::size_t(bild.ZoomedHeight());

  std::vector<std::uint8_t> from(bytes, 1), to(bytes, 2);
  Race race;
  for (auto _ : state) {
    const double yardstick = Seconds([&] {
      std::memcpy(to.data(), from.data(), bytes);
      benchmark::ClobberMemory();
    });
    const double measured = Seconds([&] {
      bild.SetZoom(zoom, kWidth / 2, kHeight / 2, true);
      benchmark::ClobberMemory();
    });
    race.Record(yardstick, measured);
  }
  if (!bild.HasZoomedBitmap()) state.SkipWithError("no zoomed bitmap");
  state.counters["x_memcpy"] = race.Ratio();
  state.counters["us"] = race.measured * 1e6;
  state.SetBytesProcessed(state.iterations() * std::int64_t(bytes));
}
BENCHMARK(BM_RebuildZoomed)
    ->Arg(6)
    ->Arg(12)
    ->Arg(18)
    ->Arg(3)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (colourRatio > 0) std::printf("jpeg colour: %.2f\u00D7 libjpeg\n", colourRatio);
  if (greyRatio > 0) std::printf("jpeg grey: %.2f\u00D7 libjpeg\n", greyRatio);
  return 0;
}
