#include "tools/demo_atlas/head_series.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "authoring/core/label_table.h"
#include "platform/core/text_file.h"

namespace ostrelin {

namespace {

bool LoadVolume(const std::filesystem::path& path, Volume& volume, Affine& inverse,
                std::string& error) {
  const std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) {
    error = path.string() + ": cannot be read";
    return false;
  }
  if (!ReadNifti(*bytes, volume, error)) {
    error = path.string() + ": " + error;
    return false;
  }
  volume.toWorld.Inverse(inverse);  // ReadNifti accepts only invertible orientations
  return true;
}

float Trilinear(const Volume& v, const std::array<double, 3>& p) {
  float value = 0;
  return SampleLinear(v, p, value) ? value : 0.0f;
}

// The label with the largest share among the eight voxels around `p`: smoother borders than the
// nearest voxel when the image is finer than the atlas.
int MajorityLabel(const Volume& v, const std::array<double, 3>& p) {
  const double fi = std::floor(p[0]), fj = std::floor(p[1]), fk = std::floor(p[2]);
  if (!(fi >= 0 && fj >= 0 && fk >= 0 && fi < v.nx - 1 && fj < v.ny - 1 && fk < v.nz - 1)) {
    return 0;
  }
  const int i = int(fi), j = int(fj), k = int(fk);
  const double a = p[0] - fi, b = p[1] - fj, c = p[2] - fk;
  int labels[8];
  double weights[8];
  for (int d = 0; d < 8; ++d) {
    const int di = d & 1, dj = (d >> 1) & 1, dk = d >> 2;
    labels[d] = int(std::lround(v.At(i + di, j + dj, k + dk)));
    weights[d] = (di ? a : 1 - a) * (dj ? b : 1 - b) * (dk ? c : 1 - c);
  }
  int best = 0;
  double bestWeight = -1;
  for (int d = 0; d < 8; ++d) {
    double w = 0;
    for (int e = 0; e < 8; ++e) {
      if (labels[e] == labels[d]) w += weights[e];
    }
    if (w > bestWeight || (w == bestWeight && labels[d] < best)) {
      best = labels[d];
      bestWeight = w;
    }
  }
  return best;
}

}  // namespace

std::vector<AnatomicalName> ParseLabelNames(std::string_view text,
                                            std::vector<std::string>& warnings) {
  std::vector<AnatomicalName> names;
  for (const TableLine& line : TableLines(text)) {
    std::istringstream in(line.text);
    long value = -1;
    std::string label;  // UTF-8
    if (!(in >> value >> label) || value <= 0 || value > 65535) continue;
    if (size_t(value) >= names.size()) names.resize(size_t(value) + 1);
    names[size_t(value)] = NameOfBrainLabel(label);
    if (!names[size_t(value)].known) warnings.push_back("no anatomical name for label " + label);
  }
  return names;
}

bool SwapMirroredSides(LabelAtlas& atlas) {
  const size_t labels = atlas.names.size();
  std::vector<double> sumX(labels, 0.0);
  std::vector<long> count(labels, 0);
  const Volume& v = atlas.volume;
  // Every second voxel in each direction is plenty for a label's mean position.
  for (int k = 0; k < v.nz; k += 2) {
    for (int j = 0; j < v.ny; j += 2) {
      for (int i = 0; i < v.nx; i += 2) {
        const float value = v.At(i, j, k);
        if (!(value >= 1.0f) || value >= float(labels)) continue;
        const size_t label = size_t(value);
        sumX[label] += v.toWorld.Apply(i, j, k)[0];
        ++count[label];
      }
    }
  }
  int agree = 0, disagree = 0;
  for (size_t label = 0; label < labels; ++label) {
    const std::string& name = atlas.names[label].name;
    const int side = name.ends_with(" rechts") ? 1 : name.ends_with(" links") ? -1 : 0;
    if (side == 0 || count[label] == 0) continue;
    const double x = sumX[label] / double(count[label]);
    if (std::abs(x) < 2.0) continue;  // on the midline: no vote
    ++((x > 0) == (side > 0) ? agree : disagree);
  }
  if (disagree <= agree) return false;
  for (AnatomicalName& entry : atlas.names) {
    std::string& name = entry.name;
    if (name.ends_with(" rechts")) {
      name.replace(name.size() - 7, 7, " links");
    } else if (name.ends_with(" links")) {
      name.replace(name.size() - 6, 6, " rechts");
    }
  }
  return true;
}

bool LoadHeadSources(const std::filesystem::path& dir, HeadSources& s, std::string& error) {
  if (!LoadVolume(dir / "ch2better.nii.gz", s.t1, s.t1FromWorld, error)) return false;
  struct AtlasFiles {
    const char* volume;
    const char* names;
    bool required;
  };
  const AtlasFiles files[] = {
      {"aal.nii.gz", "aal.nii.txt", true},
      {"JHU-WhiteMatter-labels-1mm.nii.gz", "JHU-WhiteMatter-labels-1mm.nii.txt", false}};
  for (const AtlasFiles& f : files) {
    if (!f.required && !std::filesystem::exists(dir / f.volume)) continue;
    LabelAtlas atlas;
    if (!LoadVolume(dir / f.volume, atlas.volume, atlas.fromWorld, error)) return false;
    const std::optional<std::string> names = ReadFileBytes(dir / f.names);
    if (!names) {
      error = (dir / f.names).string() + ": cannot be read";
      return false;
    }
    atlas.names = ParseLabelNames(*names, s.warnings);
    if (SwapMirroredSides(atlas)) {
      s.warnings.push_back(std::string(f.names) +
                           ": left and right lie mirrored against the volume; names swapped");
    }
    s.atlases.push_back(std::move(atlas));
  }

  // Window: white at the 99.7th percentile of the voxels that are not background.
  std::vector<float> values;
  for (size_t i = 0; i < s.t1.voxels.size(); i += 7) {
    if (s.t1.voxels[i] > 0) values.push_back(s.t1.voxels[i]);
  }
  if (values.empty()) {
    error = "ch2better.nii.gz: the volume is empty";
    return false;
  }
  const size_t at = values.size() * 997 / 1000;
  std::nth_element(values.begin(), values.begin() + long(at), values.end());
  s.windowHigh = std::max(values[at], 1e-6f);

  // The top of the head: the highest slice with a fair amount of tissue.
  const float tissue = 0.15f * s.windowHigh;
  const double z0 = s.t1.toWorld.Apply(0, 0, 0)[2], z1 = s.t1.toWorld.Apply(0, 0, s.t1.nz - 1)[2];
  s.bottomZ = std::min(z0, z1);
  s.vertexZ = s.bottomZ;
  for (int k = 0; k < s.t1.nz; ++k) {
    size_t count = 0;
    for (int j = 0; j < s.t1.ny; ++j) {
      for (int i = 0; i < s.t1.nx; ++i) count += s.t1.At(i, j, k) > tissue;
    }
    const double z = s.t1.toWorld.Apply(0, 0, k)[2];
    if (count * 400 >= size_t(s.t1.nx) * size_t(s.t1.ny)) s.vertexZ = std::max(s.vertexZ, z);
  }
  return true;
}

Section CutHeadAxial(const HeadSources& s, double z, int height, bool withLabels) {
  double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
  for (int corner = 0; corner < 8; ++corner) {
    const auto w = s.t1.toWorld.Apply(corner & 1 ? s.t1.nx - 1 : 0, corner & 2 ? s.t1.ny - 1 : 0,
                                      corner & 4 ? s.t1.nz - 1 : 0);
    minX = std::min(minX, w[0]), maxX = std::max(maxX, w[0]);
    minY = std::min(minY, w[1]), maxY = std::max(maxY, w[1]);
  }
  const double mm = (maxY - minY) / height;
  // The atlas cuts images to a multiple of four columns: the plane is as wide as that.
  const int width = std::max(4, (int(std::lround((maxX - minX) / mm)) + 3) / 4 * 4);
  Section section;
  section.grey = Raster(width, height, 1);
  section.labels.assign(size_t(width) * size_t(height), 0);
  section.body.assign(section.labels.size(), 0);

  // Structure numbers in atlas order and label order, so the files come out the same each time.
  std::vector<std::vector<std::uint8_t>> ids(s.atlases.size());
  if (withLabels) {
    for (size_t a = 0; a < s.atlases.size(); ++a) {
      ids[a].assign(s.atlases[a].names.size(), 0);
      for (size_t v = 1; v < s.atlases[a].names.size(); ++v) {
        const AnatomicalName& n = s.atlases[a].names[v];
        if (n.name.empty() || section.structures.size() >= 255) continue;
        Rgb c = RegionColour(n.region);
        const int shade = int(v % 5) * 12 - 24;
        c = {std::uint8_t(std::clamp(c.r + shade, 0, 255)),
             std::uint8_t(std::clamp(c.g + shade, 0, 255)),
             std::uint8_t(std::clamp(c.b + shade, 0, 255))};
        section.structures.push_back({n.name, c, n.region});
        ids[a][v] = std::uint8_t(section.structures.size());
      }
    }
  }
  const float tissue = 0.10f * s.windowHigh;
  for (int r = 0; r < height; ++r) {
    int firstBody = -1, lastBody = -1;
    for (int c = 0; c < width; ++c) {
      const double x = maxX - (c + 0.5) * mm, y = maxY - (r + 0.5) * mm;
      const size_t i = size_t(r) * size_t(width) + size_t(c);
      const float v = Trilinear(s.t1, s.t1FromWorld.Apply(x, y, z));
      section.grey.pixels[i] =
          std::uint8_t(std::clamp(std::lround(v * 255.0 / s.windowHigh), 0L, 255L));
      if (v > tissue) {
        if (firstBody < 0) firstBody = c;
        lastBody = c;
      }
      for (size_t a = 0; withLabels && a < s.atlases.size() && section.labels[i] == 0; ++a) {
        const int label = MajorityLabel(s.atlases[a].volume, s.atlases[a].fromWorld.Apply(x, y, z));
        if (label > 0 && size_t(label) < ids[a].size()) section.labels[i] = ids[a][size_t(label)];
      }
    }
    for (int c = std::max(firstBody, 0); firstBody >= 0 && c <= lastBody; ++c) {
      section.body[size_t(r) * size_t(width) + size_t(c)] = 1;
    }
  }
  DropTinyStructures(section, 40);
  return section;
}

}  // namespace ostrelin
