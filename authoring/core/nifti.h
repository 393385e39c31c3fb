#pragma once
// NIfTI volumes, as medical imaging stores 3-D scans and label maps: NIfTI-1 or NIfTI-2, one
// file, plain or gzip-compressed (".nii", ".nii.gz"), read through the field's own library
// (niftilib). The voxels become numbers (scaled by scl_slope/scl_inter) and the header's
// orientation a matrix from voxel indices to world millimetres (x to the patient's right, y
// anterior, z superior).

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
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
  std::string orientation;    // where toWorld comes from: "sform", "qform" or "voxel sizes"
  long volumes = 1;           // volumes of a 4-D file; only the first is read
  std::vector<std::string> extensions;  // the header extensions' bytes, in file order

  float At(int i, int j, int k) const {
    return voxels[(size_t(k) * size_t(ny) + size_t(j)) * size_t(nx) + size_t(i)];
  }
};

// Largest volume the reader accepts (voxels); the atlases here hold a few tens of millions.
inline constexpr size_t kMaxNiftiVoxels = size_t(1) << 27;

// Reads a NIfTI-1 or NIfTI-2 file (".nii" or ".nii.gz"). False with a message in `error` for
// anything that is not a usable single volume: not NIfTI, fewer than three dimensions, an
// unsupported voxel type, voxels missing from the file, more than kMaxNiftiVoxels voxels, a
// matrix that is singular, sheared or not orthogonal. A 4-D file gives its first volume.
// Orientation comes from the sform when its code is above 0, else from the qform, else from the
// plain voxel sizes.
bool ReadNiftiFile(const std::filesystem::path& path, Volume& volume, std::string& error);

// The same for a file given as its bytes (kept in a temporary file while the library reads it).
bool ReadNifti(std::string_view fileBytes, Volume& volume, std::string& error);

// Whether the 3x3 part of `a` has orthogonal columns (no shear); rotations are fine.
bool IsOrthogonal(const Affine& a);

}  // namespace ostrelin
