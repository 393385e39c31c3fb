#include "authoring/core/section.h"

#include <algorithm>
#include <cmath>

#include "authoring/core/outline_builder.h"
#include "structures/core/outline_file.h"

namespace ostrelin {

std::vector<size_t> Section::PixelCounts() const {
  std::vector<size_t> counts(structures.size(), 0);
  for (std::uint8_t l : labels) {
    if (l != 0 && l <= counts.size()) ++counts[l - 1u];
  }
  return counts;
}

bool SampleLinear(const Volume& v, const std::array<double, 3>& p, float& value) {
  const int n[3] = {v.nx, v.ny, v.nz};
  int lower[3], upper[3];
  double weight[3];
  for (int a = 0; a < 3; ++a) {
    const double q = p[size_t(a)];
    if (!(q >= -0.5 && q <= n[a] - 0.5)) return false;
    const double clamped = std::clamp(q, 0.0, double(n[a] - 1));
    const double f = std::floor(clamped);
    lower[a] = int(f);
    upper[a] = std::min(lower[a] + 1, n[a] - 1);
    weight[a] = clamped - f;
  }
  double sum = 0;
  for (int d = 0; d < 8; ++d) {
    const int di = d & 1, dj = (d >> 1) & 1, dk = d >> 2;
    const double w = (di ? weight[0] : 1 - weight[0]) * (dj ? weight[1] : 1 - weight[1]) *
                     (dk ? weight[2] : 1 - weight[2]);
    if (w == 0) continue;
    sum += w * v.At(di ? upper[0] : lower[0], dj ? upper[1] : lower[1], dk ? upper[2] : lower[2]);
  }
  value = float(sum);
  return true;
}

long SampleNearest(const Volume& v, const std::array<double, 3>& p) {
  const int n[3] = {v.nx, v.ny, v.nz};
  int index[3];
  for (int a = 0; a < 3; ++a) {
    const double q = p[size_t(a)];
    if (!(q >= -0.5 && q < n[a] - 0.5)) return 0;
    index[a] = std::clamp(int(std::floor(q + 0.5)), 0, n[a] - 1);
  }
  const float value = v.At(index[0], index[1], index[2]);
  return std::isfinite(value) && value > 0 ? std::lround(value) : 0;
}

void DropTinyStructures(Section& section, size_t minPixels) {
  const std::vector<size_t> counts = section.PixelCounts();
  std::vector<std::uint8_t> remap(section.structures.size() + 1, 0);
  std::vector<SectionStructure> kept;
  for (size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] >= minPixels) {
      kept.push_back(section.structures[i]);
      remap[i + 1] = std::uint8_t(kept.size());
    }
  }
  for (std::uint8_t& l : section.labels) l = l < remap.size() ? remap[l] : 0;
  section.structures = std::move(kept);
}

Raster DrawSchema(const Section& s) {
  const int w = s.Width(), h = s.Height();
  Raster out(w, h, 3, 255);
  const Rgb bodyColour{246, 226, 206};
  auto key = [&](int x, int y) {
    const size_t i = size_t(y) * size_t(w) + size_t(x);
    return s.labels[i] != 0 ? int(s.labels[i]) : (s.body[i] != 0 ? -1 : -2);
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int k = key(x, y);
      Rgb c = k > 0     ? s.structures[size_t(k - 1)].colour
              : k == -1 ? bodyColour
                        : Rgb{255, 255, 255};
      const bool edge = (x + 1 < w && key(x + 1, y) != k) || (y + 1 < h && key(x, y + 1) != k);
      if (edge) c = {70, 70, 80};
      std::uint8_t* p = out.At(x, y);
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
    }
  }
  return out;
}

bool EncodeSectionOutline(const Section& s, std::string_view title, std::string& bytes,
                          std::string& error) {
  LabelImage image;
  image.width = s.Width();
  image.height = s.Height();
  image.values = s.labels;
  std::vector<LabelEntry> table;
  for (size_t i = 0; i < s.structures.size(); ++i) {
    table.push_back({int(i + 1), s.structures[i].name, int(i + 1)});
  }
  OutlineFile file;
  std::vector<std::string> warnings;
  if (!BuildOutline(image, table, title, file, warnings, error)) return false;
  return EncodeOutline(file, bytes, error);
}

}  // namespace ostrelin
