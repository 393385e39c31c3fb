#include "tools/demo/core/series.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "platform/core/cp1252.h"
#include "platform/core/strings.h"

namespace ostrelin {

namespace {

std::string W(std::string_view utf8) { return Utf8ToCp1252(utf8); }

// How the image's columns and rows run through the world: column 0 lies at the largest value of
// world axis `column`, row 0 at the largest value of world axis `row` (radiological display:
// the patient's right on the image's left, anterior or head at the top, anterior on the left in
// sagittal planes).
struct PlaneFrame {
  int axis, column, row;
};

PlaneFrame FrameOf(PlaneOrientation plane) {
  switch (plane) {
    case PlaneOrientation::kAxial: return {2, 0, 1};
    case PlaneOrientation::kCoronal: return {1, 0, 2};
    case PlaneOrientation::kSagittal: return {0, 1, 2};
  }
  return {2, 0, 1};
}

// A colour for a structure the table gives none: hues spread by the golden angle.
Rgb PaletteColour(long value) {
  const double hue = std::fmod(double(value) * 137.508, 360.0) / 60.0;
  const double x = 1 - std::abs(std::fmod(hue, 2.0) - 1);
  double r = 0, g = 0, b = 0;
  switch (int(hue)) {
    case 0: r = 1, g = x; break;
    case 1: r = x, g = 1; break;
    case 2: g = 1, b = x; break;
    case 3: g = x, b = 1; break;
    case 4: r = x, b = 1; break;
    default: r = 1, b = x; break;
  }
  auto channel = [](double v) { return std::uint8_t(std::lround(90 + v * 140)); };
  return {channel(r), channel(g), channel(b)};
}

// The finest voxel size among the voxel axes that lie mostly in the plane.
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

struct Structure {
  std::string name;  // Windows-1252
  Rgb colour;
  std::vector<long> values;
};

}  // namespace

int PlaneAxis(PlaneOrientation plane) { return FrameOf(plane).axis; }

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
    std::snprintf(text, sizeof text, "%s%ld", tenths > 0 ? "+" : tenths < 0 ? "-" : "",
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

bool CutSeries(const Volume& scan, const Volume& labels, const std::vector<LabelName>& names,
               const SeriesOptions& options, std::ostream& log, std::vector<SeriesPage>& pages,
               std::string& error) {
  pages.clear();
  const PlaneFrame frame = FrameOf(options.plane);
  Affine scanFromWorld, labelsFromWorld;
  if (!scan.toWorld.Inverse(scanFromWorld) || !labels.toWorld.Inverse(labelsFromWorld)) {
    error = "a volume has a singular orientation matrix";
    return false;
  }
  const auto box = WorldBox(scan);
  const auto labelBox = WorldBox(labels);
  for (size_t a = 0; a < 3; ++a) {
    // Half a voxel of slack either way: boxes are of voxel centres.
    const double slack = 0.5 * (scan.spacing[a] + labels.spacing[a]);
    if (labelBox[a].first > box[a].second + slack || labelBox[a].second < box[a].first - slack) {
      error = "the label map does not overlap the scan (" + std::string(1, "xyz"[a]) +
              ": scan " + FormatMillimetres(box[a].first) + " to " +
              FormatMillimetres(box[a].second) + " mm, labels " +
              FormatMillimetres(labelBox[a].first) + " to " +
              FormatMillimetres(labelBox[a].second) + " mm)";
      return false;
    }
  }
  const double pixel = options.pixel > 0 ? options.pixel : FinestInPlane(scan, frame.axis);
  const auto [minU, maxU] = box[size_t(frame.column)];
  const auto [minV, maxV] = box[size_t(frame.row)];
  // Pixel centres start at the outer voxel centres, so that planes of the voxel size sample the
  // voxels themselves.
  const int height = int(std::lround((maxV - minV) / pixel)) + 1;
  const int width = std::max(4, (int(std::lround((maxU - minU) / pixel)) + 1 + 3) / 4 * 4);
  if (height > 4096 || width > 16384) {
    error = "planes of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels are too large for outline files (at most 4096 rows): choose a larger --pixel";
    return false;
  }
  GreyWindow window;
  if (options.window) {
    window.low = options.window->first - options.window->second / 2;
    window.high = options.window->first + options.window->second / 2;
  } else {
    window = AutoWindow(scan);
  }
  log << "window " << window.low << " to " << window.high << ", " << width << " x " << height
      << " pixels of " << pixel << " mm\n";

  // Structures by label value: the atlas name, colour; values of one name unite.
  std::map<long, const LabelName*> byValue;
  for (const LabelName& n : names) byValue.emplace(n.value, &n);
  std::map<long, size_t> structureOfValue;  // filled as values turn up
  std::vector<Structure> structures;
  auto structureOf = [&](long value) {
    const auto known = structureOfValue.find(value);
    if (known != structureOfValue.end()) return known->second;
    LabelName label;
    label.value = value;
    const auto it = byValue.find(value);
    if (it != byValue.end()) label = *it->second;
    bool changed = false;
    const std::string name = AtlasName(RenameLabel(label, options.rename), changed);
    for (size_t s = 0; s < structures.size(); ++s) {
      if (EqualsAsciiNoCase(structures[s].name, name)) {
        structures[s].values.push_back(value);
        return structureOfValue[value] = s;
      }
    }
    structures.push_back({name, label.hasColour ? label.colour : PaletteColour(value), {value}});
    return structureOfValue[value] = structures.size() - 1;
  };

  const double lo = box[size_t(frame.axis)].first, hi = box[size_t(frame.axis)].second;
  double halfVoxel = 0;
  for (size_t c = 0; c < 3; ++c) {
    halfVoxel = std::max(halfVoxel, 0.5 * std::abs(scan.toWorld.m[size_t(frame.axis)][c]));
  }
  std::vector<long> values(size_t(width) * size_t(height));
  for (double mm : options.positions) {
    if (mm < lo - halfVoxel || mm > hi + halfVoxel) {
      log << "plane " << FormatMillimetres(mm) << " mm lies outside the scan ("
          << FormatMillimetres(lo) << " to " << FormatMillimetres(hi) << " mm): skipped\n";
      continue;
    }
    SeriesPage page;
    page.mm = mm;
    page.name = SeriesName(options) + " " + FormatMillimetres(mm) + " mm";
    const long tenths = std::lround(std::abs(mm) * 10);
    char stem[64];
    std::snprintf(stem, sizeof stem, "_%c%03ld", mm < 0 ? 'm' : 'p', tenths / 10);
    page.stem = (options.files.empty() ? FileStemOf(options.name) : options.files) + stem +
                (tenths % 10 != 0 ? "_" + std::to_string(tenths % 10) : "");
    Section& s = page.section;
    s.grey = Raster(width, height, 1);
    s.labels.assign(values.size(), 0);
    s.body.assign(values.size(), 0);
    std::map<long, size_t> pixelsOfValue;
    for (int r = 0; r < height; ++r) {
      int firstBody = -1, lastBody = -1;
      for (int c = 0; c < width; ++c) {
        std::array<double, 3> world{};
        world[size_t(frame.axis)] = mm;
        world[size_t(frame.column)] = maxU - c * pixel;
        world[size_t(frame.row)] = maxV - r * pixel;
        const size_t i = size_t(r) * size_t(width) + size_t(c);
        float v = 0;
        const bool inside =
            SampleLinear(scan, scanFromWorld.Apply(world[0], world[1], world[2]), v);
        const double level = inside ? (v - window.low) / (window.high - window.low) : 0;
        s.grey.pixels[i] = std::uint8_t(std::clamp(std::lround(level * 255), 0L, 255L));
        // Ties between two label voxels are broken the same way in the world whichever way the
        // voxel axes run: the point is nudged a millionth of a millimetre.
        values[i] = SampleNearest(
            labels, labelsFromWorld.Apply(world[0] + 1e-6, world[1] + 1e-6, world[2] + 1e-6));
        if (values[i] > 0) ++pixelsOfValue[values[i]];
        if (s.grey.pixels[i] > 25 || values[i] > 0) {
          if (firstBody < 0) firstBody = c;
          lastBody = c;
        }
      }
      for (int c = std::max(firstBody, 0); firstBody >= 0 && c <= lastBody; ++c) {
        s.body[size_t(r) * size_t(width) + size_t(c)] = 1;
      }
    }
    // The plane's structures in label order; each gets its number in this plane.
    std::map<size_t, std::uint8_t> numberOfStructure;
    std::map<long, std::uint8_t> numberOfValue;
    for (const auto& [value, count] : pixelsOfValue) {
      const size_t id = structureOf(value);
      auto it = numberOfStructure.find(id);
      if (it == numberOfStructure.end()) {
        if (s.structures.size() >= 255) {
          log << "plane " << FormatMillimetres(mm) << " mm: more than 255 structures, label "
              << value << " left out\n";
          continue;
        }
        s.structures.push_back({structures[id].name, structures[id].colour, BrainRegion::kOther});
        it = numberOfStructure.emplace(id, std::uint8_t(s.structures.size())).first;
      }
      numberOfValue[value] = it->second;
    }
    for (size_t i = 0; i < values.size(); ++i) {
      if (values[i] > 0) {
        const auto it = numberOfValue.find(values[i]);
        s.labels[i] = it == numberOfValue.end() ? 0 : it->second;
      }
    }
    DropTinyStructures(s, std::max<size_t>(options.minPixels, 1));
    page.areas = s.PixelCounts();
    pages.push_back(std::move(page));
  }
  if (pages.empty()) {
    error = "no plane lies in the scan, which reaches from " + FormatMillimetres(lo) + " to " +
            FormatMillimetres(hi) + " mm along " + std::string(1, "xyz"[frame.axis]);
    return false;
  }

  // Places on the pictogram: axial planes from the top down, sagittal ones from the patient's
  // right (the pictogram's left) to the left; coronal planes have none.
  if (options.plane != PlaneOrientation::kCoronal) {
    const auto [first, last] = options.extent.value_or(std::pair{hi, lo});
    for (SeriesPage& p : pages) {
      p.position = first == last ? 0
                                 : std::clamp(int(std::lround((p.mm - first) / (last - first) *
                                                              100)),
                                              0, 100);
    }
  }
  return true;
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
      t << W("Horizontalschnitt (axial), von unten betrachtet: die rechte Körperseite liegt links "
             "im Bild, vorne ist oben.");
      break;
    case PlaneOrientation::kCoronal:
      t << W("Frontalschnitt (koronar), von vorne betrachtet: die rechte Körperseite liegt links "
             "im Bild, kopfwärts ist oben.");
      break;
    case PlaneOrientation::kSagittal:
      t << W("Sagittalschnitt, von links betrachtet: vorne liegt links im Bild, kopfwärts ist "
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
