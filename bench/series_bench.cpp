// A series from a 256 x 256 x 256 scan and its label map: reading both volumes, cutting 30 axial
// planes and writing them with their outline files, schematic drawings and lists into a new tree.
//
// As the command does, the series reserves its staging files, then reads its two volumes at once
// (ReadNiftiFiles), cuts and writes.
//
// Yardstick: reading the scan alone through the same NIfTI reader, by turns with the series in
// each of five rounds, the best of each kept (race.h). "x_read_scan" is the whole series as a
// multiple of it (the target is 2); "seconds" is the whole series on this machine; "peak_MB" the
// process's peak memory against "volumes_MB", the two volumes as floats. The last line printed
// says the same: "series 256^3: N.NN s, N.NN× reading".
#include <benchmark/benchmark.h>
#include <nifti2_io.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "authoring/core/nifti.h"
#include "authoring/core/series.h"
#include "bench/race.h"

namespace {

namespace fs = std::filesystem;
constexpr int kSize = 256;
ostrelin::bench::Race gRace;

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
  for (auto _ : state) {
    ostrelin::Volume alone;
    std::string error;
    bool ok = true;
    const double read = ostrelin::bench::Seconds(
        [&] { ok = ostrelin::ReadNiftiFile(dir / "scan.nii.gz", alone, error); });
    alone = ostrelin::Volume();
    std::vector<ostrelin::SeriesPage> pages;
    const double series = ostrelin::bench::Seconds([&] {
      ostrelin::SeriesOptions o;
      o.tree = dir / "tree";
      o.name = "Kopf axial";
      o.plane = ostrelin::PlaneOrientation::kAxial;
      o.type = ostrelin::SeriesType::kMr;
      o.schema = true;
      for (int p = 0; p < 30; ++p) o.positions.push_back(-116 + 8 * p);
      std::ostringstream log;
      ok = ok && ostrelin::RecoverTree(o.tree, log, error);
      ostrelin::TreeTransaction tx(o.tree);
      tx.Reserve(ostrelin::SeriesStagedFiles(o));
      std::vector<ostrelin::VolumeRead> read =
          ostrelin::ReadNiftiFiles({dir / "scan.nii.gz", dir / "labels.nii.gz"});
      error = read[0].error + read[1].error;
      ok = ok && read[0].ok && read[1].ok &&
           ostrelin::CutSeries(read[0].volume, read[1].volume, {}, o, log, pages, error) &&
           ostrelin::WriteSeries(o, pages, log, error, &tx);
    });
    if (!ok || pages.size() != 30) {
      state.SkipWithError(error.c_str());
      return;
    }
    gRace.Record(read, series);
  }
  state.counters["x_read_scan"] = gRace.Ratio();
  state.counters["seconds"] = gRace.measured;
  state.counters["peak_MB"] = PeakMegabytes();
  state.counters["volumes_MB"] = 2.0 * kSize * kSize * kSize * sizeof(float) / (1024.0 * 1024.0);
}
BENCHMARK(BM_SeriesOf30Planes)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gRace.measured < 1e9) {
    std::printf("series 256^3: %.2f s, %.2f\u00d7 reading\n", gRace.measured, gRace.Ratio());
  }
  return 0;
}
