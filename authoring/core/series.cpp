#include "authoring/core/series.h"

// A series' options, names and page texts, and the geometry of its planes.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "authoring/core/series_parallel.h"
#include "authoring/core/tree_layout.h"
#include "platform/core/cp1252.h"
#include "platform/core/strings.h"

namespace ostrelin {

PlaneFrame FrameOf(PlaneOrientation plane) {
  switch (plane) {
    case PlaneOrientation::kAxial: return {2, 0, 1};
    case PlaneOrientation::kCoronal: return {1, 0, 2};
    case PlaneOrientation::kSagittal: return {0, 1, 2};
  }
  return {2, 0, 1};
}

double FinestInPlane(const Volume& v, int axis) {
  double finest = 1e30;
  for (int c = 0; c < 3; ++c) {
    double along = 0, total = 0;
    for (int r = 0; r < 3; ++r) {
      total += v.toWorld.m[size_t(r)][size_t(c)] * v.toWorld.m[size_t(r)][size_t(c)];
      if (r == axis) along = std::abs(v.toWorld.m[size_t(r)][size_t(c)]);
    }
    if (along * along < 0.5 * total) finest = std::min(finest, std::sqrt(total));
  }
  return finest < 1e30 ? finest : 1;
}

int PlaneAxis(PlaneOrientation plane) { return FrameOf(plane).axis; }

std::vector<VolumeRead> ReadNiftiFiles(const std::vector<std::filesystem::path>& paths,
                                       const std::function<void(size_t, VolumeRead&)>& then) {
  std::vector<VolumeRead> reads(paths.size());
  RunJobs(paths.size(), SeriesWorkers(), [&](size_t i) {
    reads[i].ok = ReadNiftiFile(paths[i], reads[i].volume, reads[i].error);
    if (then) then(i, reads[i]);
  });
  return reads;
}

std::string SeriesName(const SeriesOptions& options) {
  bool changed = false;
  return AtlasName(options.name, changed);
}

std::string SeriesPage::Largest() const {
  size_t best = 0;
  for (size_t i = 1; i < areas.size(); ++i) {
    if (areas[i] > areas[best]) best = i;
  }
  return section.structures.empty() ? std::string() : section.structures[best].name;
}

std::vector<std::string> SeriesPage::Structures() const {
  std::vector<std::string> names;
  for (const SectionStructure& s : section.structures) names.push_back(s.name);
  return names;
}

std::optional<std::pair<double, double>> WindowPreset(std::string_view name) {
  if (name == "weichteil") return std::pair{40.0, 400.0};
  if (name == "lunge") return std::pair{-600.0, 1500.0};
  if (name == "knochen") return std::pair{500.0, 2000.0};
  if (name == "gehirn") return std::pair{40.0, 80.0};
  return std::nullopt;
}

GreyWindow AutoWindow(const Volume& scan) {
  // A sample of the voxels is plenty for percentiles.
  const size_t stride = std::max<size_t>(1, scan.voxels.size() / 2000000);
  std::vector<float> sample;
  sample.reserve(scan.voxels.size() / stride + 1);
  for (size_t i = 0; i < scan.voxels.size(); i += stride) {
    if (std::isfinite(scan.voxels[i])) sample.push_back(scan.voxels[i]);
  }
  if (sample.empty()) return {};
  auto percentile = [](std::vector<float>& v, double p) {
    const size_t at = std::min(v.size() - 1, size_t(p * double(v.size() - 1)));
    std::nth_element(v.begin(), v.begin() + long(at), v.end());
    return double(v[at]);
  };
  // Inside the head or body: above a tenth of the way from the lowest value (air, background)
  // to the bright tissue.
  const double lowest = *std::min_element(sample.begin(), sample.end());
  const double bright = percentile(sample, 0.99);
  const double threshold = lowest + 0.1 * (bright - lowest);
  std::vector<float> inside;
  for (float v : sample) {
    if (v > threshold) inside.push_back(v);
  }
  if (inside.empty()) inside = sample;
  GreyWindow w;
  w.low = percentile(inside, 0.005);
  w.high = percentile(inside, 0.995);
  if (!(w.high > w.low)) w.high = w.low + 1;
  return w;
}

std::string FormatMillimetres(double mm) {
  const long tenths = std::lround(mm * 10);
  char text[48];
  if (tenths % 10 != 0) {
    std::snprintf(text, sizeof text, "%s%ld,%ld", tenths > 0 ? "+" : "-", std::labs(tenths) / 10,
                  std::labs(tenths) % 10);
  } else {
    std::snprintf(text, sizeof text, "%s%ld",
                  tenths > 0   ? "+"
                  : tenths < 0 ? "-"
                               : "",
                  std::labs(tenths) / 10);
  }
  return text;
}

std::string FileStemOf(std::string_view utf8Name) {
  static const std::pair<const char*, const char*> kUmlauts[] = {
      {"ä", "ae"}, {"ö", "oe"}, {"ü", "ue"}, {"Ä", "ae"}, {"Ö", "oe"}, {"Ü", "ue"}, {"ß", "ss"}};
  std::string stem;
  bool gap = false;
  for (size_t i = 0; i < utf8Name.size();) {
    std::string piece;
    for (const auto& [from, to] : kUmlauts) {
      if (utf8Name.substr(i).starts_with(from)) {
        piece = to;
        i += std::string_view(from).size();
        break;
      }
    }
    if (piece.empty()) {
      const char c = utf8Name[i++];
      if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) piece = std::string(1, c);
      if (c >= 'A' && c <= 'Z') piece = std::string(1, char(c - 'A' + 'a'));
    }
    if (piece.empty()) {
      gap = !stem.empty();
      continue;
    }
    if (gap) stem += '_';
    gap = false;
    stem += piece;
  }
  return stem.empty() ? "serie" : stem;
}

std::array<std::pair<double, double>, 3> WorldBox(const Volume& v) {
  std::array<std::pair<double, double>, 3> box;
  box.fill({1e300, -1e300});
  for (int corner = 0; corner < 8; ++corner) {
    const auto w = v.toWorld.Apply(corner & 1 ? v.nx - 1 : 0, corner & 2 ? v.ny - 1 : 0,
                                   corner & 4 ? v.nz - 1 : 0);
    for (size_t a = 0; a < 3; ++a) {
      box[a].first = std::min(box[a].first, w[a]);
      box[a].second = std::max(box[a].second, w[a]);
    }
  }
  return box;
}

std::string SeriesPageText(const SeriesOptions& options, const std::vector<SeriesPage>& pages,
                           size_t i, bool schemaText) {
  const SeriesPage& p = pages[i];
  static const char* const kTypeName[] = {"Schnitt", "CT", "MR", "Schema"};
  const std::string ownType = kTypeName[int(options.type)];
  std::ostringstream t;
  t << "#/H:" << p.name << (schemaText ? W(" (Schemazeichnung)") : "") << "#\n";
  switch (options.plane) {
    case PlaneOrientation::kAxial:
      t << W(
          "Horizontalschnitt (axial), von unten betrachtet: die rechte Körperseite liegt links "
          "im Bild, vorne ist oben.");
      break;
    case PlaneOrientation::kCoronal:
      t << W(
          "Frontalschnitt (koronar), von vorne betrachtet: die rechte Körperseite liegt links "
          "im Bild, kopfwärts ist oben.");
      break;
    case PlaneOrientation::kSagittal:
      t << W(
          "Sagittalschnitt, von links betrachtet: vorne liegt links im Bild, kopfwärts ist "
          "oben.");
      break;
  }
  t << W(" Der Schnitt liegt bei #/B:") << FormatMillimetres(p.mm) << W(" mm#.$\n");
  if (!p.section.structures.empty()) {
    t << W("Strukturen in diesem Schnitt: ");
    for (size_t s = 0; s < p.section.structures.size(); ++s) {
      t << (s == 0 ? "" : ", ") << "#/P:" << p.section.structures[s].name << "#";
    }
    t << ".$\n";
  }
  const std::string suffix =
      schemaText ? " (Schema)" : (options.schema ? " (" + ownType + ")" : std::string());
  std::string neighbours;
  if (i > 0) neighbours += W("#/L:Voriger Schnitt{") + pages[i - 1].name + suffix + "}#";
  if (i + 1 < pages.size()) {
    neighbours += (neighbours.empty() ? "" : "#   ") + W("#/L:Nächster Schnitt{") +
                  pages[i + 1].name + suffix + "}#";
  }
  if (!neighbours.empty()) t << neighbours << "$\n";
  if (options.schema && options.type != SeriesType::kSchema) {
    t << (schemaText ? W("#/L:Zum ") + ownType + W("-Bild{") + p.name + " (" + ownType + ")}#"
                     : W("#/L:Schemazeichnung dieses Schnitts{") + p.name + " (Schema)}#")
      << "\n";
  }
  return t.str();
}

}  // namespace ostrelin
