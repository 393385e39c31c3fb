// NIfTI volumes from arbitrary bytes (plain or gzip): the reader either refuses them with a
// message or yields a volume whose voxel count matches its dimensions and whose orientation can
// be inverted, mapping voxels to finite world points and back. In one run of eight, chosen from
// the input's length and first bytes, one allocation of the reader fails instead; the bad_alloc
// may escape but must leak nothing (the sanitizers check).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "authoring/core/nifti.h"
#include "fuzz/allocation_failure.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"

namespace {

using ostrelin::fuzz::Check;

// Paths the reader refuses before it opens them, once per process: one that is not there, and
// a readable file whose name does not end in .nii.
bool CheckRefusedPaths() {
  ostrelin::Volume volume;
  std::string error;
  Check(!ostrelin::ReadNiftiFile("/proc/self/fd/-1/missing.nii", volume, error) &&
        error == "cannot be read");
  const ostrelin::fuzz::MemoryFile unnamed(std::string_view("n+1"));
  error.clear();
  Check(!ostrelin::ReadNiftiFile(unnamed.Path(), volume, error) && error.ends_with(".nii.gz"));
  return true;
}

// On a plausible grid (voxels from a micrometre to a metre, origin within a kilometre) the far
// corner of the volume goes to a finite world point and comes back, up to rounding of the largest
// term. The reader accepts absurd scales too; their world points may overflow and are not checked.
void CheckRoundTrip(const ostrelin::Volume& volume, const ostrelin::Affine& inverse) {
  const auto& m = volume.toWorld.m;
  double shortest = HUGE_VAL;
  for (int c = 0; c < 3; ++c) {
    const double length = std::hypot(m[0][size_t(c)], m[1][size_t(c)], m[2][size_t(c)]);
    if (!(length >= 1e-3 && length <= 1e3)) return;
    shortest = std::min(shortest, length);
  }
  for (int r = 0; r < 3; ++r) {
    if (!(std::abs(m[size_t(r)][3]) <= 1e6)) return;
  }
  const double index[3] = {double(volume.nx - 1), double(volume.ny - 1), double(volume.nz - 1)};
  const auto world = volume.toWorld.Apply(index[0], index[1], index[2]);
  const auto back = inverse.Apply(world[0], world[1], world[2]);
  double largest = 1;  // in voxels: the terms' magnitudes over the shortest voxel side
  for (int r = 0; r < 3; ++r) {
    Check(std::isfinite(world[size_t(r)]));
    largest = std::max(
        {largest, (std::abs(world[size_t(r)]) + std::abs(m[size_t(r)][3])) / shortest, index[r]});
  }
  for (int r = 0; r < 3; ++r) Check(std::abs(back[size_t(r)] - index[r]) <= 1e-6 * largest);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool refusedPaths = CheckRefusedPaths();
  Check(refusedPaths);

  ostrelin::Volume volume;
  std::string error;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::uint32_t seed = 2166136261u;
  for (std::size_t i = 0; i < size && i < 64; ++i) seed = (seed ^ data[i]) * 16777619u;
  seed = (seed ^ std::uint32_t(size)) * 16777619u;
  if (seed % 8 == 0) {
    try {
      ostrelin::fuzz::FailingAllocation failing(long(seed / 8 % 16));
      if (!ostrelin::ReadNifti(bytes, volume, error)) Check(!error.empty());
    } catch (const std::bad_alloc&) {
    }
    return 0;
  }
  if (ostrelin::ReadNifti(bytes, volume, error)) {
    Check(volume.nx > 0 && volume.ny > 0 && volume.nz > 0);
    Check(volume.voxels.size() == size_t(volume.nx) * size_t(volume.ny) * size_t(volume.nz));
    ostrelin::Affine inverse;
    Check(volume.toWorld.Inverse(inverse));
    CheckRoundTrip(volume, inverse);
  } else {
    Check(!error.empty());
  }
  return 0;
}
