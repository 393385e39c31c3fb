// NIfTI volumes from arbitrary bytes (plain or gzip): the reader either refuses them with a
// message or yields a volume whose voxel count matches its dimensions and whose orientation can
// be inverted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "tools/demo/core/nifti.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using ostrelin::fuzz::Check;
  ostrelin::Volume volume;
  std::string error;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (ostrelin::ReadNifti(bytes, volume, error)) {
    Check(volume.nx > 0 && volume.ny > 0 && volume.nz > 0);
    Check(volume.voxels.size() == size_t(volume.nx) * size_t(volume.ny) * size_t(volume.nz));
    ostrelin::Affine inverse;
    Check(volume.toWorld.Inverse(inverse));
  } else {
    Check(!error.empty());
  }
  return 0;
}
