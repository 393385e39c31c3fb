#include "authoring/core/nifti.h"

#include <nifti2_io.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

namespace ostrelin {

std::array<double, 3> Affine::Apply(double i, double j, double k) const {
  std::array<double, 3> w{};
  for (int r = 0; r < 3; ++r) w[r] = m[r][0] * i + m[r][1] * j + m[r][2] * k + m[r][3];
  return w;
}

bool Affine::Inverse(Affine& out) const {
  const auto& a = m;
  const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                     a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                     a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  if (!std::isfinite(det) || std::abs(det) < 1e-12) return false;
  std::array<std::array<double, 3>, 3> inv{};
  inv[0][0] = (a[1][1] * a[2][2] - a[1][2] * a[2][1]) / det;
  inv[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
  inv[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
  inv[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) / det;
  inv[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
  inv[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
  inv[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) / det;
  inv[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
  inv[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) out.m[r][c] = inv[r][c];
    out.m[r][3] = -(inv[r][0] * a[0][3] + inv[r][1] * a[1][3] + inv[r][2] * a[2][3]);
  }
  return true;
}

bool IsOrthogonal(const Affine& a) {
  double length[3];
  for (int c = 0; c < 3; ++c) {
    length[c] = std::sqrt(a.m[0][c] * a.m[0][c] + a.m[1][c] * a.m[1][c] + a.m[2][c] * a.m[2][c]);
    if (!(length[c] > 0)) return false;
  }
  for (int c = 0; c < 3; ++c) {
    for (int d = c + 1; d < 3; ++d) {
      const double dot = a.m[0][c] * a.m[0][d] + a.m[1][c] * a.m[1][d] + a.m[2][c] * a.m[2][d];
      if (std::abs(dot) > 1e-4 * length[c] * length[d]) return false;
    }
  }
  return true;
}

namespace {

struct ImageDeleter {
  void operator()(nifti_image* image) const { nifti_image_free(image); }
};
using ImagePtr = std::unique_ptr<nifti_image, ImageDeleter>;

template <class T>
void Convert(const void* data, size_t count, double slope, double inter, std::vector<float>& out) {
  const T* in = static_cast<const T*>(data);
  out.resize(count);
  for (size_t i = 0; i < count; ++i) out[i] = float(double(in[i]) * slope + inter);
}

bool ConvertVoxels(int datatype, const void* data, size_t count, double slope, double inter,
                   std::vector<float>& out) {
  switch (datatype) {
    case DT_UINT8: Convert<std::uint8_t>(data, count, slope, inter, out); return true;
    case DT_INT8: Convert<std::int8_t>(data, count, slope, inter, out); return true;
    case DT_INT16: Convert<std::int16_t>(data, count, slope, inter, out); return true;
    case DT_UINT16: Convert<std::uint16_t>(data, count, slope, inter, out); return true;
    case DT_INT32: Convert<std::int32_t>(data, count, slope, inter, out); return true;
    case DT_UINT32: Convert<std::uint32_t>(data, count, slope, inter, out); return true;
    case DT_INT64: Convert<std::int64_t>(data, count, slope, inter, out); return true;
    case DT_UINT64: Convert<std::uint64_t>(data, count, slope, inter, out); return true;
    case DT_FLOAT32: Convert<float>(data, count, slope, inter, out); return true;
    case DT_FLOAT64: Convert<double>(data, count, slope, inter, out); return true;
    default: return false;
  }
}

bool EndsWithGz(const std::string& name) {
  return name.size() > 3 && (name.ends_with(".gz") || name.ends_with(".GZ"));
}

}  // namespace

namespace {

// `v` with its bytes in the other order.
template <typename T>
T ByteSwapped(T v) {
  if constexpr (sizeof(T) == 2) {
    return T(__builtin_bswap16(std::uint16_t(v)));
  } else {
    static_assert(sizeof(T) == 8);
    return T(__builtin_bswap64(std::uint64_t(v)));
  }
}

// The magic, the voxel type and the dimensions of a raw NIfTI-1 or NIfTI-2 header, whose size
// tells whether it was written in the other byte order.
template <typename Header>
void RawFields(const Header& h, const char* magicText, int size, bool& magic, int& type,
               std::array<int64_t, 8>& dim) {
  magic = std::memcmp(h.magic, magicText, 4) == 0;
  const bool swapped = h.sizeof_hdr != size;
  type = swapped ? ByteSwapped(h.datatype) : h.datatype;
  for (size_t d = 0; d < 8; ++d) dim[d] = swapped ? ByteSwapped(h.dim[d]) : h.dim[d];
}

// The raw header first: its magic decides whether this is NIfTI at all (the library would take a
// file without it for ANALYZE), and a voxel type the library does not know is refused here before
// the library complains about it on its own. `how` adds the gzip reason to a header not read.
bool CheckRawHeader(const std::string& name, const std::string& how, std::string& error) {
  int version = 0;
  void* raw = nifti_read_header(name.c_str(), &version, 0);
  if (raw == nullptr) {
    error = "is no NIfTI-1 or NIfTI-2 volume" + how;
    return false;
  }
  int rawType = 0;
  bool magic = false;
  std::array<int64_t, 8> dim{};
  if (version == 1) {
    RawFields(*static_cast<const nifti_1_header*>(raw), "n+1", 348, magic, rawType, dim);
  } else if (version == 2) {
    RawFields(*static_cast<const nifti_2_header*>(raw), "n+2", 540, magic, rawType, dim);
  }
  std::free(raw);
  if (!magic) {
    error = "is no single-file NIfTI-1 or NIfTI-2 volume (no magic \"n+1\" or \"n+2\")";
    return false;
  }
  // The library trusts the dimensions (a NIfTI-2 header with an absurd dim[0] overflows its
  // stack): they are checked here first.
  bool sane = dim[0] >= 1 && dim[0] <= 7;
  for (int64_t d = 1; sane && d <= dim[0]; ++d) {
    sane = dim[size_t(d)] >= 1 && dim[size_t(d)] <= (d <= 3 ? 65535 : 1000000);
  }
  if (!sane) {
    error = "has dimensions that make no volume";
    return false;
  }
  std::vector<float> probe;
  if (!ConvertVoxels(rawType, nullptr, 0, 1, 0, probe)) {
    error = "has the voxel type " + std::to_string(rawType) + ", which this tool does not read";
    return false;
  }
  return true;
}

// The library's reading of the header: one file, at most four dimensions, a size and a voxel type
// this tool holds. `bytesPerVoxel` of the voxel type.
bool CheckImageHeader(const nifti_image& h, int& bytesPerVoxel, std::string& error) {
  if (h.nifti_type != NIFTI_FTYPE_NIFTI1_1 && h.nifti_type != NIFTI_FTYPE_NIFTI2_1) {
    error = "is no single-file NIfTI-1 or NIfTI-2 volume";
    return false;
  }
  if (h.ndim > 4 && (h.nu > 1 || h.nv > 1 || h.nw > 1)) {
    error = "has more than four dimensions";
    return false;
  }
  if (h.nx < 1 || h.ny < 1 || h.nz < 1 || h.nx > 65535 || h.ny > 65535 || h.nz > 65535 ||
      double(h.nx) * double(h.ny) * double(h.nz) > double(kMaxNiftiVoxels)) {
    error = "has dimensions this tool cannot hold (" + std::to_string(h.nx) + " x " +
            std::to_string(h.ny) + " x " + std::to_string(h.nz) + ")";
    return false;
  }
  int swap = 0;
  bytesPerVoxel = 0;
  nifti_datatype_sizes(h.datatype, &bytesPerVoxel, &swap);
  std::vector<float> probe;
  if (bytesPerVoxel == 0 || !ConvertVoxels(h.datatype, nullptr, 0, 1, 0, probe)) {
    error = std::string("has the voxel type ") + nifti_datatype_string(h.datatype) +
            ", which this tool does not read";
    return false;
  }
  return true;
}

// The voxels of the first volume (a 4-D file gives only its first), scaled, as floats.
bool ReadFirstVolume(const std::filesystem::path& path, const nifti_image& h, int bytesPerVoxel,
                     bool gzip, std::vector<float>& voxels, std::string& error) {
  const std::string name = path.string();
  const size_t count = size_t(h.nx) * size_t(h.ny) * size_t(h.nz);
  if (!gzip) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || h.iname_offset < 0 ||
        double(size) < double(h.iname_offset) + double(count) * bytesPerVoxel) {
      error = "the file ends before its voxels";
      return false;
    }
  }
  const void* data = nullptr;
  struct Bricks {  // freed on every way out, also when a bad_alloc leaves the conversion
    nifti_brick_list list{};
    ~Bricks() {
      if (list.bricks != nullptr) nifti_free_NBL(&list);
    }
  } held;
  nifti_brick_list& bricks = held.list;
  ImagePtr image;
  if (h.ndim >= 4 && h.nt > 1) {
    int64_t first[1] = {0};
    image.reset(nifti_image_read_bricks(name.c_str(), 1, first, &bricks));
    if (image && bricks.nbricks == 1 && bricks.bsize == int64_t(count) * bytesPerVoxel) {
      data = bricks.bricks[0];
    }
  } else {
    image.reset(nifti_image_read(name.c_str(), 1));
    if (image && image->data != nullptr && image->nvox == int64_t(count)) data = image->data;
  }
  if (data == nullptr) {
    error = gzip ? "the gzip data are damaged or end before the voxels"
                 : "the file ends before its voxels";
    return false;
  }
  const double slope = std::isfinite(h.scl_slope) && h.scl_slope != 0 ? h.scl_slope : 1;
  const double inter = std::isfinite(h.scl_inter) && h.scl_slope != 0 ? h.scl_inter : 0;
  ConvertVoxels(h.datatype, data, count, slope, inter, voxels);
  return true;
}

// Size, voxel spacing and the mapping to the world (sform, else qform, else the voxel sizes),
// which must be finite, invertible and orthogonal.
bool SetGeometry(const nifti_image& h, Volume& volume, std::string& error) {
  volume.nx = int(h.nx);
  volume.ny = int(h.ny);
  volume.nz = int(h.nz);
  volume.volumes = h.ndim >= 4 ? long(std::max<int64_t>(h.nt, 1)) : 1;
  const double sizes[3] = {h.dx, h.dy, h.dz};
  for (int a = 0; a < 3; ++a) {
    volume.spacing[size_t(a)] = std::isfinite(sizes[a]) && sizes[a] > 0 ? sizes[a] : 1;
  }
  if (h.sform_code > 0 || h.qform_code > 0) {
    const auto& m = h.sform_code > 0 ? h.sto_xyz : h.qto_xyz;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 4; ++c) volume.toWorld.m[size_t(r)][size_t(c)] = m.m[r][c];
    }
    volume.orientation = h.sform_code > 0 ? "sform" : "qform";
  } else {
    for (int a = 0; a < 3; ++a) volume.toWorld.m[size_t(a)][size_t(a)] = volume.spacing[size_t(a)];
    volume.orientation = "voxel sizes";
  }
  for (const auto& row : volume.toWorld.m) {
    for (double v : row) {
      if (!std::isfinite(v)) {
        error = "has an orientation matrix that is not finite";
        return false;
      }
    }
  }
  Affine inverse;
  if (!volume.toWorld.Inverse(inverse)) {
    error = "has a singular orientation matrix (" + volume.orientation + ")";
    return false;
  }
  if (!IsOrthogonal(volume.toWorld)) {
    error = "has a sheared or non-orthogonal orientation matrix (" + volume.orientation +
            "); resample it onto an orthogonal grid first";
    return false;
  }
  return true;
}

}  // namespace

bool ReadNiftiFile(const std::filesystem::path& path, Volume& volume, std::string& error) {
  static std::once_flag quiet;
  std::call_once(quiet, [] {
    nifti_set_debug_level(0);  // the library's own complaints would go to stderr
    nifti_set_allow_upper_fext(1);
  });
  volume = Volume();
  const std::string name = path.string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ::access(name.c_str(), R_OK) != 0) {
    error = "cannot be read";
    return false;
  }
  const bool gzip = EndsWithGz(name);
  const std::string how = gzip ? " (or its gzip data are damaged)" : "";
  if (!name.ends_with(".nii") && !name.ends_with(".NII") &&
      !(gzip && (name.ends_with(".nii.gz") || name.ends_with(".NII.GZ")))) {
    error = "is no NIfTI file: its name must end in .nii or .nii.gz";
    return false;
  }
  if (!CheckRawHeader(name, how, error)) return false;
  ImagePtr header(nifti_image_read(name.c_str(), 0));
  if (!header) {
    error = "is no NIfTI-1 or NIfTI-2 volume" + how;
    return false;
  }
  const nifti_image& h = *header;
  int bytesPerVoxel = 0;
  if (!CheckImageHeader(h, bytesPerVoxel, error) ||
      !ReadFirstVolume(path, h, bytesPerVoxel, gzip, volume.voxels, error) ||
      !SetGeometry(h, volume, error)) {
    return false;
  }
  for (int e = 0; e < h.num_ext; ++e) {
    const nifti1_extension& x = h.ext_list[e];
    if (x.edata != nullptr && x.esize > 8) {
      volume.extensions.emplace_back(x.edata, size_t(x.esize - 8));
    }
  }
  return true;
}

bool ReadNifti(std::string_view fileBytes, Volume& volume, std::string& error) {
  const bool gzip = fileBytes.size() >= 2 && std::uint8_t(fileBytes[0]) == 0x1F &&
                    std::uint8_t(fileBytes[1]) == 0x8B;
  std::string name = (std::filesystem::temp_directory_path() / "ostrelin-nifti-XXXXXX").string() +
                     (gzip ? ".nii.gz" : ".nii");
  const int fd = ::mkstemps(name.data(), gzip ? 7 : 4);
  if (fd < 0) {
    error = "no temporary file can be created";
    return false;
  }
  bool written = true;
  for (size_t at = 0; at < fileBytes.size();) {
    const ssize_t n = ::write(fd, fileBytes.data() + at, fileBytes.size() - at);
    if (n <= 0) {
      written = false;
      break;
    }
    at += size_t(n);
  }
  ::close(fd);
  // Removed on every way out, also when the reader runs out of memory.
  struct Remove {
    const std::string& name;
    ~Remove() { ::unlink(name.c_str()); }
  } removeAtEnd{name};
  const bool ok = written && ReadNiftiFile(name, volume, error);
  if (!written) error = "the temporary file cannot be written";
  return ok;
}

}  // namespace ostrelin
