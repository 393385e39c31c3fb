// A series from a 256 x 256 x 256 scan and its label map: reading both volumes, cutting 30 axial
// planes and writing them with their outline files, schematic drawings and lists into a new tree.
//
// Yardstick: reading the scan alone through the same NIfTI reader. "x_read_scan" is the whole
// series as a multiple of it; "seconds" is the whole series on this machine (the target is under
// 10 s); "peak_MB" the process's peak memory against "volumes_MB", the two volumes as floats.
#include <benchmark/benchmark.h>
#include <nifti2_io.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

#include "authoring/core/nifti.h"
#include "authoring/core/series.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kSize = 256;

// A head-sized scene of 1 mm voxels: an ellipsoid body of tissue with 60 labelled blobs.
const fs::path& Volumes() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / "ostrelin-series-bench";
    fs::create_directories(d);
    for (bool labels : {false, true}) {
      const fs::path path = d / (labels ? "labels.nii.gz" : "scan.nii.gz");
      if (fs::exists(path)) continue;
      const int64_t dims[8] = {3, kSize, kSize, kSize, 1, 1, 1, 1};
      nifti_image* nim = nifti_make_new_nim(dims, labels ? DT_UINT8 : DT_INT16, 1);
      nim->sform_code = 1;
      for (int a = 0; a < 3; ++a) {
        nim->sto_xyz.m[a][a] = 1;
        nim->sto_xyz.m[a][3] = -kSize / 2.0;
      }
      nim->sto_xyz.m[3][3] = 1;
      size_t at = 0;
      for (int k = 0; k < kSize; ++k) {
        for (int j = 0; j < kSize; ++j) {
          for (int i = 0; i < kSize; ++i, ++at) {
            const double x = i - kSize / 2.0, y = j - kSize / 2.0, z = k - kSize / 2.0;
            const double r = x * x / (90.0 * 90) + y * y / (110.0 * 110) + z * z / (115.0 * 115);
            const int blob = r < 1 ? 1 + (int(x + 128) / 32) * 10 + (int(y + 128) / 43) : 0;
            if (labels) {
              static_cast<std::uint8_t*>(nim->data)[at] = std::uint8_t(r < 0.8 ? blob : 0);
            } else {
              static_cast<std::int16_t*>(nim->data)[at] =
                  std::int16_t(r < 1 ? 300 + 40 * (blob % 7) + (i * 13 + j * 7 + k) % 50 : 0);
            }
          }
        }
      }
      nim->nifti_type = NIFTI_FTYPE_NIFTI1_1;
      nifti_set_filenames(nim, path.c_str(), 0, 1);
      nifti_image_write(nim);
      nifti_image_free(nim);
    }
    return d;
  }();
  return dir;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;
}

void BM_SeriesOf30Planes(benchmark::State& state) {
  const fs::path dir = Volumes();
  double readSeconds = 0, seriesSeconds = 0;
  int runs = 0;
  for (auto _ : state) {
    ostrelin::Volume scan, labels;
    std::string error;
    const auto t0 = Clock::now();
    if (!ostrelin::ReadNiftiFile(dir / "scan.nii.gz", scan, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    const auto t1 = Clock::now();
    ostrelin::SeriesOptions o;
    o.tree = dir / "tree";
    o.name = "Kopf axial";
    o.plane = ostrelin::PlaneOrientation::kAxial;
    o.type = ostrelin::SeriesType::kMr;
    o.schema = true;
    for (int p = 0; p < 30; ++p) o.positions.push_back(-116 + 8 * p);
    std::ostringstream log;
    std::vector<ostrelin::SeriesPage> pages;
    if (!ostrelin::ReadNiftiFile(dir / "labels.nii.gz", labels, error) ||
        !ostrelin::CutSeries(scan, labels, {}, o, log, pages, error) ||
        !ostrelin::WriteSeries(o, pages, log, error) || pages.size() != 30) {
      state.SkipWithError(error.c_str());
      return;
    }
    const auto t2 = Clock::now();
    readSeconds += std::chrono::duration<double>(t1 - t0).count();
    seriesSeconds += std::chrono::duration<double>(t2 - t0).count();
    ++runs;
  }
  state.counters["x_read_scan"] = seriesSeconds / readSeconds;
  state.counters["seconds"] = seriesSeconds / runs;
  state.counters["peak_MB"] = PeakMegabytes();
  state.counters["volumes_MB"] = 2.0 * kSize * kSize * kSize * sizeof(float) / (1024.0 * 1024.0);
}
BENCHMARK(BM_SeriesOf30Planes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
