#include "tools/demo/core/nifti.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

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

bool Gunzip(std::string_view bytes, std::string& out, std::string& error, size_t limit) {
  out.clear();
  if (bytes.size() < 2 || std::uint8_t(bytes[0]) != 0x1F || std::uint8_t(bytes[1]) != 0x8B) {
    out.assign(bytes);
    return true;
  }
  z_stream z{};
  if (inflateInit2(&z, 15 + 16) != Z_OK) {
    error = "zlib cannot be initialised";
    return false;
  }
  size_t pos = 0;
  char buffer[1 << 16];
  bool ok = true, ended = false;
  while (pos < bytes.size()) {
    ended = false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + pos));
    const size_t chunk = std::min<size_t>(bytes.size() - pos, 1u << 30);
    z.avail_in = uInt(chunk);
    int rc = Z_OK;
    do {
      z.next_out = reinterpret_cast<Bytef*>(buffer);
      z.avail_out = sizeof buffer;
      rc = inflate(&z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END) break;
      out.append(buffer, sizeof buffer - z.avail_out);
      if (out.size() > limit) {
        error = "the decompressed data is larger than " + std::to_string(limit >> 20) + " MB";
        ok = false;
        break;
      }
    } while (rc == Z_OK && (z.avail_in > 0 || z.avail_out == 0));
    if (!ok) break;
    const size_t used = chunk - z.avail_in;
    pos += used;
    if (rc == Z_STREAM_END) {
      ended = true;
      // Concatenated members continue the data; anything else after the end is ignored.
      if (pos + 2 <= bytes.size() && std::uint8_t(bytes[pos]) == 0x1F &&
          std::uint8_t(bytes[pos + 1]) == 0x8B) {
        inflateReset(&z);
        continue;
      }
      break;
    }
    if (rc != Z_OK || used == 0) {
      error = rc == Z_OK || rc == Z_BUF_ERROR ? "the gzip data ends too early"
                                              : "the gzip data is damaged";
      ok = false;
      break;
    }
  }
  if (ok && !ended) {
    error = "the gzip data ends too early";
    ok = false;
  }
  inflateEnd(&z);
  if (!ok) out.clear();
  return ok;
}

namespace {

constexpr size_t kHeaderBytes = 348;

template <class T>
T Swapped(T v) {
  T out = 0;
  for (size_t i = 0; i < sizeof v; ++i) out = T((out << 8) | ((v >> (8 * i)) & 0xFF));
  return out;
}

class HeaderView {
 public:
  HeaderView(std::string_view bytes, bool swap) : bytes_(bytes), swap_(swap) {}

  std::int16_t I16(size_t at) const { return std::int16_t(Raw<std::uint16_t>(at)); }
  std::int32_t I32(size_t at) const { return std::int32_t(Raw<std::uint32_t>(at)); }
  float F32(size_t at) const { return std::bit_cast<float>(Raw<std::uint32_t>(at)); }
  double F64(size_t at) const { return std::bit_cast<double>(Raw<std::uint64_t>(at)); }

  template <class T>
  T Raw(size_t at) const {
    T v;
    std::memcpy(&v, bytes_.data() + at, sizeof v);
    return swap_ ? Swapped(v) : v;
  }

 private:
  std::string_view bytes_;
  bool swap_;
};

struct VoxelType {
  int code;
  int bytes;
  const char* name;
};
constexpr VoxelType kVoxelTypes[] = {
    {2, 1, "uint8"},  {4, 2, "int16"},    {8, 4, "int32"},   {16, 4, "float32"},
    {64, 8, "float64"}, {256, 1, "int8"}, {512, 2, "uint16"}, {768, 4, "uint32"},
};

double ReadVoxel(const HeaderView& v, int code, size_t at) {
  switch (code) {
    case 2: return std::uint8_t(v.Raw<std::uint8_t>(at));
    case 4: return v.I16(at);
    case 8: return v.I32(at);
    case 16: return v.F32(at);
    case 64: return v.F64(at);
    case 256: return std::int8_t(v.Raw<std::uint8_t>(at));
    case 512: return v.Raw<std::uint16_t>(at);
    case 768: return v.Raw<std::uint32_t>(at);
  }
  return 0;
}

bool Finite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double d) { return std::isfinite(d); });
}

}  // namespace

bool ReadNifti(std::string_view fileBytes, Volume& volume, std::string& error) {
  std::string data;
  if (!Gunzip(fileBytes, data, error, kMaxNiftiVoxels * 8 + 4096)) return false;
  if (data.size() < kHeaderBytes) {
    error = "no NIfTI header (the file has only " + std::to_string(data.size()) + " bytes)";
    return false;
  }
  std::int32_t size;
  std::memcpy(&size, data.data(), 4);
  const bool swap = size != 348;
  if (swap && Swapped(std::uint32_t(size)) != 348u) {
    error = "no NIfTI-1 header (its size field is not 348)";
    return false;
  }
  if (std::memcmp(data.data() + 344, "n+1\0", 4) != 0) {
    error = std::memcmp(data.data() + 344, "ni1\0", 4) == 0
                ? "a header without its voxels (.hdr/.img pair): only single .nii files are read"
                : "no NIfTI-1 magic \"n+1\"";
    return false;
  }
  const HeaderView h(data, swap);
  const int dims = h.I16(40);
  if (dims < 3 || dims > 7) {
    error = "the volume has " + std::to_string(dims) + " dimensions; 3 are needed";
    return false;
  }
  int n[8] = {};
  for (int d = 1; d <= dims; ++d) n[d] = h.I16(40 + 2 * d);
  for (int d = 4; d <= dims; ++d) {
    if (n[d] > 1) {
      error = "a series of volumes (dimension " + std::to_string(d) + " is " +
              std::to_string(n[d]) + "): only single volumes are read";
      return false;
    }
  }
  if (n[1] < 1 || n[2] < 1 || n[3] < 1) {
    error = "the volume has an empty dimension";
    return false;
  }
  const size_t count = size_t(n[1]) * size_t(n[2]) * size_t(n[3]);
  if (count > kMaxNiftiVoxels) {
    error = "the volume is too large (" + std::to_string(count) + " voxels)";
    return false;
  }
  const int code = h.I16(70);
  const VoxelType* type = nullptr;
  for (const VoxelType& t : kVoxelTypes) {
    if (t.code == code) type = &t;
  }
  if (type == nullptr) {
    error = "voxel type " + std::to_string(code) + " is not supported";
    return false;
  }
  const double offset = h.F32(108);
  if (!std::isfinite(offset) || offset < double(kHeaderBytes) || offset > double(data.size())) {
    error = "the voxel offset lies outside the file";
    return false;
  }
  const size_t first = size_t(offset);
  if ((data.size() - first) / size_t(type->bytes) < count) {
    error = "the file ends before its voxels do (" + std::to_string(count) + " " + type->name +
            " voxels expected)";
    return false;
  }

  double pix[8];
  for (int d = 0; d < 8; ++d) pix[d] = h.F32(76 + 4 * d);
  for (int d = 1; d <= 3; ++d) {
    if (!std::isfinite(pix[d]) || pix[d] == 0) pix[d] = 1;
    pix[d] = std::abs(pix[d]);
  }
  Affine a;
  const int qform = h.I16(252), sform = h.I16(254);
  if (sform > 0) {
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 4; ++c) a.m[r][c] = h.F32(280 + 16 * r + 4 * c);
    }
  } else if (qform > 0) {
    double b = h.F32(256), c = h.F32(260), d = h.F32(264);
    if (!Finite({b, c, d})) b = c = d = 0;
    const double aa = std::sqrt(std::max(0.0, 1.0 - (b * b + c * c + d * d)));
    const double qfac = h.F32(76) < 0 ? -1.0 : 1.0;
    const double R[3][3] = {
        {aa * aa + b * b - c * c - d * d, 2 * (b * c - aa * d), 2 * (b * d + aa * c)},
        {2 * (b * c + aa * d), aa * aa + c * c - b * b - d * d, 2 * (c * d - aa * b)},
        {2 * (b * d - aa * c), 2 * (c * d + aa * b), aa * aa + d * d - c * c - b * b}};
    const double scale[3] = {pix[1], pix[2], pix[3] * qfac};
    for (int r = 0; r < 3; ++r) {
      for (int col = 0; col < 3; ++col) a.m[r][col] = R[r][col] * scale[col];
      a.m[r][3] = h.F32(268 + 4 * r);
    }
  } else {
    for (int r = 0; r < 3; ++r) a.m[r][r] = pix[r + 1];
  }
  for (const auto& row : a.m) {
    if (!Finite({row[0], row[1], row[2], row[3]})) {
      error = "the orientation in the header is not a number";
      return false;
    }
  }
  Affine inverse;
  if (!a.Inverse(inverse)) {
    error = "the orientation in the header is singular";
    return false;
  }

  double slope = h.F32(112), inter = h.F32(116);
  if (!std::isfinite(slope) || slope == 0) slope = 1, inter = 0;
  if (!std::isfinite(inter)) inter = 0;

  volume.nx = n[1];
  volume.ny = n[2];
  volume.nz = n[3];
  for (int c = 0; c < 3; ++c) {
    volume.spacing[c] = std::sqrt(a.m[0][c] * a.m[0][c] + a.m[1][c] * a.m[1][c] +
                                  a.m[2][c] * a.m[2][c]);
  }
  volume.toWorld = a;
  volume.voxels.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const double v = ReadVoxel(h, code, first + i * size_t(type->bytes)) * slope + inter;
    volume.voxels[i] = std::isfinite(v) ? float(std::clamp(v, -3.0e38, 3.0e38)) : 0.0f;
  }
  return true;
}

}  // namespace ostrelin
