#pragma once
// NIfTI-1 volumes, as medical imaging stores 3-D scans and label atlases: a 348-byte header (in
// either byte order), the voxels from `vox_offset` on, the whole optionally gzip-compressed
// (".nii.gz"). The reader takes the voxels as numbers and the header's orientation as a matrix
// from voxel indices to world millimetres (x to the patient's right, y anterior, z superior).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelin {

// Voxel (i, j, k) -> world (x, y, z): world = M * (i, j, k, 1).
struct Affine {
  std::array<std::array<double, 4>, 3> m{};

  std::array<double, 3> Apply(double i, double j, double k) const;
  // The inverse mapping world -> voxel; false when the matrix is singular.
  bool Inverse(Affine& out) const;
};

struct Volume {
  int nx = 0, ny = 0, nz = 0;
  std::array<double, 3> spacing{};  // voxel size in mm along i, j, k
  Affine toWorld;
  std::vector<float> voxels;  // nx * ny * nz, i fastest, scaled by scl_slope/scl_inter

  float At(int i, int j, int k) const {
    return voxels[(size_t(k) * size_t(ny) + size_t(j)) * size_t(nx) + size_t(i)];
  }
};

// Largest volume the reader accepts (voxels); the atlases here hold a few tens of millions.
inline constexpr size_t kMaxNiftiVoxels = size_t(1) << 27;

// Decompresses gzip data (one or more members); bytes that are not gzip are returned unchanged.
// False with `error` set for damaged compressed data or output beyond `limit` bytes.
bool Gunzip(std::string_view bytes, std::string& out, std::string& error,
            size_t limit = size_t(1) << 30);

// Reads a NIfTI-1 file (".nii" or ".nii.gz") given as its bytes. False with a message in `error`
// for anything that is not a usable single-file NIfTI-1 volume: no magic "n+1", fewer than three
// dimensions or a fourth one beyond 1, an unsupported voxel type, voxels missing from the file.
// Orientation comes from the sform when its code is set, else from the quaternion (qform), else
// the plain voxel sizes.
bool ReadNifti(std::string_view fileBytes, Volume& volume, std::string& error);

}  // namespace ostrelin
