#include "authoring/core/series.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "authoring/core/tree_layout.h"
#include "platform/core/cp1252.h"
#include "platform/core/strings.h"

namespace ostrelin {

namespace {

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

namespace {

// The scan and the label map share some of the world; false with `error` saying where not.
bool CheckOverlap(const Volume& scan, const Volume& labels, std::string& error) {
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
  return true;
}

// The pixels of every plane of a series: column 0 and row 0 at the largest world values.
struct PlaneGrid {
  PlaneFrame frame;
  double pixel = 0;  // mm
  double maxU = 0, maxV = 0;
  int width = 0, height = 0;
  double lo = 0, hi = 0;  // the scan's extent along the plane's axis
  Affine scanFromWorld, labelsFromWorld;
};

bool ChoosePlaneGrid(const Volume& scan, const SeriesOptions& options, PlaneGrid& grid,
                     std::string& error) {
  grid.frame = FrameOf(options.plane);
  const auto box = WorldBox(scan);
  grid.pixel = options.pixel > 0 ? options.pixel : FinestInPlane(scan, grid.frame.axis);
  const auto [minU, maxU] = box[size_t(grid.frame.column)];
  const auto [minV, maxV] = box[size_t(grid.frame.row)];
  grid.maxU = maxU;
  grid.maxV = maxV;
  grid.lo = box[size_t(grid.frame.axis)].first;
  grid.hi = box[size_t(grid.frame.axis)].second;
  // Pixel centres start at the outer voxel centres, so that planes of the voxel size sample the
  // voxels themselves.
  grid.height = int(std::lround((maxV - minV) / grid.pixel)) + 1;
  grid.width = std::max(4, (int(std::lround((maxU - minU) / grid.pixel)) + 1 + 3) / 4 * 4);
  if (grid.height > 4096 || grid.width > 16384) {
    error = "planes of " + std::to_string(grid.width) + " x " + std::to_string(grid.height) +
            " pixels are too large for outline files (at most 4096 rows): choose a larger --pixel";
    return false;
  }
  return true;
}

GreyWindow WindowOf(const SeriesOptions& options, const Volume& scan) {
  if (!options.window) return AutoWindow(scan);
  GreyWindow window;
  window.low = options.window->first - options.window->second / 2;
  window.high = options.window->first + options.window->second / 2;
  return window;
}

// Structures by label value: the atlas name, colour; values of one name unite. Filled as values
// turn up in the planes.
class StructureTable {
 public:
  StructureTable(const std::vector<LabelName>& names, const std::vector<NameMapEntry>& rename)
      : rename_(rename) {
    for (const LabelName& n : names) byValue_.emplace(n.value, &n);
  }

  const Structure& operator[](size_t id) const { return structures_[id]; }

  size_t Of(long value) {
    const auto known = structureOfValue_.find(value);
    if (known != structureOfValue_.end()) return known->second;
    LabelName label;
    label.value = value;
    const auto it = byValue_.find(value);
    if (it != byValue_.end()) label = *it->second;
    const std::string name = StructureName(label, rename_);
    for (size_t s = 0; s < structures_.size(); ++s) {
      if (EqualsAsciiNoCase(structures_[s].name, name)) {
        structures_[s].values.push_back(value);
        return structureOfValue_[value] = s;
      }
    }
    structures_.push_back({name, label.hasColour ? label.colour : PaletteColour(value), {value}});
    return structureOfValue_[value] = structures_.size() - 1;
  }

 private:
  const std::vector<NameMapEntry>& rename_;
  std::map<long, const LabelName*> byValue_;
  std::map<long, size_t> structureOfValue_;
  std::vector<Structure> structures_;
};

// "Kopf axial +12,5 mm" and its file stem "kopf_axial_p012_5".
void NamePage(const SeriesOptions& options, double mm, SeriesPage& page) {
  page.mm = mm;
  page.name = SeriesName(options) + " " + FormatMillimetres(mm) + " mm";
  const long tenths = std::lround(std::abs(mm) * 10);
  char stem[64];
  std::snprintf(stem, sizeof stem, "_%c%03ld", mm < 0 ? 'm' : 'p', tenths / 10);
  page.stem = (options.files.empty() ? FileStemOf(options.name) : options.files) + stem +
              (tenths % 10 != 0 ? "_" + std::to_string(tenths % 10) : "");
}

// The grey image, the body mask and the label value of every pixel of the plane at `mm`, with the
// pixels of each value.
void SamplePlane(const Volume& scan, const Volume& labels, const PlaneGrid& grid,
                 const GreyWindow& window, double mm, Section& s, std::vector<long>& values,
                 std::map<long, size_t>& pixelsOfValue) {
  const int width = grid.width;
  s.grey = Raster(width, grid.height, 1);
  s.labels.assign(values.size(), 0);
  s.body.assign(values.size(), 0);
  for (int r = 0; r < grid.height; ++r) {
    int firstBody = -1, lastBody = -1;
    for (int c = 0; c < width; ++c) {
      std::array<double, 3> world{};
      world[size_t(grid.frame.axis)] = mm;
      world[size_t(grid.frame.column)] = grid.maxU - c * grid.pixel;
      world[size_t(grid.frame.row)] = grid.maxV - r * grid.pixel;
      const size_t i = size_t(r) * size_t(width) + size_t(c);
      float v = 0;
      const bool inside =
          SampleLinear(scan, grid.scanFromWorld.Apply(world[0], world[1], world[2]), v);
      const double level = inside ? (v - window.low) / (window.high - window.low) : 0;
      s.grey.pixels[i] = std::uint8_t(std::clamp(std::lround(level * 255), 0L, 255L));
      // Ties between two label voxels are broken the same way in the world whichever way the
      // voxel axes run: the point is nudged a millionth of a millimetre.
      values[i] = SampleNearest(
          labels, grid.labelsFromWorld.Apply(world[0] + 1e-6, world[1] + 1e-6, world[2] + 1e-6));
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
}

// The plane's structures in label order, each with its number in this plane (at most 255), and
// every pixel's number.
void NumberStructures(const std::vector<long>& values, const std::map<long, size_t>& pixelsOfValue,
                      double mm, StructureTable& structures, Section& s, std::ostream& log) {
  std::map<size_t, std::uint8_t> numberOfStructure;
  std::map<long, std::uint8_t> numberOfValue;
  for (const auto& [value, count] : pixelsOfValue) {
    const size_t id = structures.Of(value);
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
}

// Places on the pictogram, percent from its top (axial) or its left edge (sagittal); coronal
// planes have none. The panel's upper arrow steps to the next plane of the list and the lower
// one to the previous, so the pages are put in the order of the pictogram from its bottom
// upwards, from its right to its left: up steps toward the head, the right arrow to the right.
void PlacePages(const SeriesOptions& options, const PlaneGrid& grid,
                std::vector<SeriesPage>& pages) {
  if (options.plane == PlaneOrientation::kCoronal) return;
  const auto [first, last] = options.extent.value_or(std::pair{grid.hi, grid.lo});
  auto percent = [&](double mm) { return first == last ? 0.0 : (mm - first) / (last - first) * 100; };
  for (SeriesPage& p : pages) p.position = std::clamp(int(std::lround(percent(p.mm))), 0, 100);
  std::stable_sort(pages.begin(), pages.end(), [&](const SeriesPage& a, const SeriesPage& b) {
    return percent(a.mm) > percent(b.mm);
  });
}

}  // namespace

bool CutSeries(const Volume& scan, const Volume& labels, const std::vector<LabelName>& names,
               const SeriesOptions& options, std::ostream& log, std::vector<SeriesPage>& pages,
               std::string& error) {
  pages.clear();
  PlaneGrid grid;
  if (!scan.toWorld.Inverse(grid.scanFromWorld) || !labels.toWorld.Inverse(grid.labelsFromWorld)) {
    error = "a volume has a singular orientation matrix";
    return false;
  }
  if (!CheckOverlap(scan, labels, error) || !ChoosePlaneGrid(scan, options, grid, error)) {
    return false;
  }
  const GreyWindow window = WindowOf(options, scan);
  log << "window " << window.low << " to " << window.high << ", " << grid.width << " x "
      << grid.height << " pixels of " << grid.pixel << " mm\n";

  StructureTable structures(names, options.rename);
  double halfVoxel = 0;
  for (size_t c = 0; c < 3; ++c) {
    halfVoxel = std::max(halfVoxel, 0.5 * std::abs(scan.toWorld.m[size_t(grid.frame.axis)][c]));
  }
  std::vector<long> values(size_t(grid.width) * size_t(grid.height));
  for (double mm : options.positions) {
    if (mm < grid.lo - halfVoxel || mm > grid.hi + halfVoxel) {
      log << "plane " << FormatMillimetres(mm) << " mm lies outside the scan ("
          << FormatMillimetres(grid.lo) << " to " << FormatMillimetres(grid.hi) << " mm): skipped\n";
      continue;
    }
    SeriesPage page;
    NamePage(options, mm, page);
    std::map<long, size_t> pixelsOfValue;
    SamplePlane(scan, labels, grid, window, mm, page.section, values, pixelsOfValue);
    NumberStructures(values, pixelsOfValue, mm, structures, page.section, log);
    DropTinyStructures(page.section, std::max<size_t>(options.minPixels, 1));
    page.areas = page.section.PixelCounts();
    pages.push_back(std::move(page));
  }
  if (pages.empty()) {
    error = "no plane lies in the scan, which reaches from " + FormatMillimetres(grid.lo) +
            " to " + FormatMillimetres(grid.hi) + " mm along " +
            std::string(1, "xyz"[grid.frame.axis]);
    return false;
  }
  PlacePages(options, grid, pages);
  return true;
}

double NeighbourAgreement(const Volume& labels) {
  size_t labelled = 0, agreeing = 0;
  for (size_t row = 0; row + 1 <= labels.voxels.size() / size_t(std::max(1, labels.nx)); ++row) {
    const float* v = labels.voxels.data() + row * size_t(labels.nx);
    for (int i = 0; i + 1 < labels.nx; ++i) {
      if (v[i] == 0) continue;
      ++labelled;
      agreeing += v[i] == v[i + 1];
    }
  }
  return labelled == 0 ? 1.0 : double(agreeing) / double(labelled);
}

bool SurveyLabelMap(const Volume& labels, std::map<long, size_t>& voxels, std::string& error) {
  voxels.clear();
  constexpr const char* kSwapped = ": is it a scan? --image and --labels may be swapped";
  std::vector<size_t> small(65536, 0);  // counts of the values 0 to 65535
  size_t distinct = 0;
  for (size_t i = 0; i < labels.voxels.size(); ++i) {
    float v = labels.voxels[i];
    if (v >= 0 && v < 65536 && v == std::floor(v)) {
      if (small[size_t(v)]++ == 0 && ++distinct > kMaxLabelValues + 1) break;
      continue;
    }
    // Scaling (scl_slope) may leave a whole number a rounding error off.
    if (std::isfinite(v) && std::abs(v - std::round(v)) <= 1e-3f) {
      v = std::round(v);
      if (v >= 0 && v < 65536) {
        if (small[size_t(v)]++ == 0 && ++distinct > kMaxLabelValues + 1) break;
        continue;
      }
    }
    if (!std::isfinite(v) || v != std::floor(v)) {
      char text[64];
      std::snprintf(text, sizeof text, "%g", double(v));
      error = std::string("the label map holds values that are no whole numbers (") + text + ")" +
              kSwapped;
      return false;
    }
    if (v < 0) {
      error = "the label map holds negative values (" + std::to_string(std::lround(v)) + ")" +
              kSwapped;
      return false;
    }
    if (voxels[long(v)]++ == 0 && ++distinct > kMaxLabelValues + 1) break;
  }
  for (size_t v = 0; v < small.size(); ++v) {
    if (small[v] != 0) voxels[long(v)] += small[v];
  }
  voxels.erase(0);
  if (voxels.size() > kMaxLabelValues) {
    error = "the label map holds more than " + std::to_string(kMaxLabelValues) +
            " different values, more than a segmentation has structures" + kSwapped;
    return false;
  }
  return true;
}

double DefaultPixel(const Volume& scan, PlaneOrientation plane) {
  const PlaneFrame frame = FrameOf(plane);
  const double finest = FinestInPlane(scan, frame.axis);
  const auto box = WorldBox(scan);
  const double longer = std::max(box[size_t(frame.column)].second - box[size_t(frame.column)].first,
                                 box[size_t(frame.row)].second - box[size_t(frame.row)].first);
  if (longer / finest + 1 >= kMinLongerSide) return finest;
  // Rounded down to a thousandth of a millimetre, so the side keeps its pixels.
  return std::max(0.001, std::floor(longer / (kMinLongerSide - 1) * 1000) / 1000);
}

namespace {

// Where the body is in a scan, plane by plane along z: 2 mm layers, each with the count of body
// voxels, their extent along x and their front-most y.
struct BodyLayers {
  static constexpr double kLayer = 2;
  double bottom = 0;  // z of layer 0's lower edge
  std::vector<size_t> count;
  std::vector<double> minX, maxX, front;
  // The highest layer holding a fair share of body voxels (stray bright voxels are no body).
  int Top() const {
    const size_t most = count.empty() ? 0 : *std::max_element(count.begin(), count.end());
    for (int k = int(count.size()) - 1; k >= 0; --k) {
      if (count[size_t(k)] > 0 && count[size_t(k)] * 50 >= most && count[size_t(k)] >= 8) return k;
    }
    return -1;
  }
  double Z(int layer) const { return bottom + (layer + 0.5) * kLayer; }
};

BodyLayers BodyOf(const Volume& scan) {
  BodyLayers layers;
  const auto box = WorldBox(scan);
  layers.bottom = box[2].first - BodyLayers::kLayer / 2;
  const size_t n = size_t((box[2].second - box[2].first) / BodyLayers::kLayer) + 2;
  layers.count.assign(n, 0);
  layers.minX.assign(n, 1e300);
  layers.maxX.assign(n, -1e300);
  layers.front.assign(n, -1e300);
  // Inside the body: above a tenth of the way from the lowest value to the bright tissue.
  const size_t stride = std::max<size_t>(1, scan.voxels.size() / 2000000);
  std::vector<float> sample;
  for (size_t i = 0; i < scan.voxels.size(); i += stride) {
    if (std::isfinite(scan.voxels[i])) sample.push_back(scan.voxels[i]);
  }
  if (sample.empty()) return layers;
  const float lowest = *std::min_element(sample.begin(), sample.end());
  const size_t at = size_t(0.99 * double(sample.size() - 1));
  std::nth_element(sample.begin(), sample.begin() + long(at), sample.end());
  const double threshold = lowest + 0.1 * (sample[at] - lowest);
  // Every second voxel along each axis is plenty.
  for (int k = 0; k < scan.nz; k += 2) {
    for (int j = 0; j < scan.ny; j += 2) {
      for (int i = 0; i < scan.nx; i += 2) {
        if (!(scan.At(i, j, k) > threshold)) continue;
        const auto w = scan.toWorld.Apply(i, j, k);
        const size_t layer = std::min(n - 1, size_t(std::max(0.0, (w[2] - layers.bottom) /
                                                                      BodyLayers::kLayer)));
        ++layers.count[layer];
        layers.minX[layer] = std::min(layers.minX[layer], w[0]);
        layers.maxX[layer] = std::max(layers.maxX[layer], w[0]);
        layers.front[layer] = std::max(layers.front[layer], w[1]);
      }
    }
  }
  return layers;
}

// The pictograms are 192 x 355 pixels; plane positions are percent of (size - 2).
constexpr double kPictogramWidth = 190, kPictogramHeight = 353, kPictogramMiddle = 96;
// The head pictogram: the vertex at 5 %, the chin at 60 %.
constexpr double kHeadVertex = 5, kHeadChin = 60;
// From vertex to chin an adult head measures about 230 mm.
constexpr double kAdultHeadMm = 230;

// The mapping for a pictogram whose levels `percentA` and `percentB` lie at world heights `zA`
// and `zB`: axial planes get z at 0 and 100 %, sagittal ones x at 0 and 100 % of the width with
// the body's midline `midX` at the pictogram's middle (the patient's right on its left).
std::pair<double, double> Mapping(double zA, double percentA, double zB, double percentB,
                                  PlaneOrientation plane, double midX) {
  const double mmPerPercent = (zA - zB) / (percentB - percentA);
  if (plane == PlaneOrientation::kAxial) {
    const double top = zA + percentA * mmPerPercent;
    return {top, top - 100 * mmPerPercent};
  }
  const double mmPerPixel = mmPerPercent * 100 / kPictogramHeight;
  return {midX + kPictogramMiddle * mmPerPixel,
          midX - (kPictogramWidth - kPictogramMiddle) * mmPerPixel};
}

// Millimetres for the log, as --extent takes them: "+81.5", "-148".
std::string Mm(double mm) {
  std::string text = FormatMillimetres(std::round(mm * 10) / 10);
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

}  // namespace

namespace {

// The mean x of the body, weighted by its voxels in each layer; 0 for a scan without body.
double BodyMidX(const BodyLayers& body) {
  if (body.Top() < 0) return 0;
  double sum = 0, weight = 0;
  for (size_t k = 0; k < body.count.size(); ++k) {
    if (body.count[k] == 0) continue;
    sum += double(body.count[k]) * (body.minX[k] + body.maxX[k]) / 2;
    weight += double(body.count[k]);
  }
  return sum / weight;
}

// The chin below the `vertex` (the top of layer `top`): below the nose (the front-most layer at
// least 60 mm under the vertex) the face's front stays within 35 mm of the nose tip down to the
// chin, then the neck falls back. False when the scan shows no chin at a head's distance.
bool FindChin(const BodyLayers& body, int top, double vertex, double& chin) {
  int nose = -1;
  for (int k = top; k >= 0 && body.Z(k) > vertex - 150; --k) {
    if (body.Z(k) < vertex - 60 && body.count[size_t(k)] > 0 &&
        (nose < 0 || body.front[size_t(k)] > body.front[size_t(nose)])) {
      nose = k;
    }
  }
  if (nose < 0) return false;
  for (int k = nose; k >= 0; --k) {
    // Layers between sampled voxels stay empty; a scan that ends above the neck finds none.
    if (body.count[size_t(k)] != 0 && body.front[size_t(k)] < body.front[size_t(nose)] - 35) {
      chin = body.Z(k) + BodyLayers::kLayer / 2;
      return vertex - chin > 170 && vertex - chin < 290;
    }
  }
  return false;
}

// Landmarks of the trunk pictograms that segmentations label: the clavicles' top at 8.5 %, the
// iliac crests (the hip bones' top) at 64 %, the femoral heads' top at 77 %.
struct Landmark {
  const char* prefix;  // of the label names
  double percent;
  const char* what;
};
constexpr Landmark kTrunkLandmarks[] = {
    {"clavicula", 8.5, "clavicles"}, {"hip_", 64, "iliac crests"}, {"femur", 77, "femoral heads"}};

// The world z of the top of the labels whose names begin with the landmark's prefix.
std::optional<double> TopOfLandmark(const Volume& labels, const std::vector<LabelName>& names,
                                    const Landmark& l) {
  std::vector<bool> wanted(kMaxLabelValues * 64, false);
  bool any = false;
  for (const LabelName& n : names) {
    const std::string_view prefix = l.prefix;
    if (n.value > 0 && size_t(n.value) < wanted.size() && n.name.size() >= prefix.size() &&
        EqualsAsciiNoCase(std::string_view(n.name).substr(0, prefix.size()), prefix)) {
      wanted[size_t(n.value)] = any = true;
    }
  }
  if (!any) return std::nullopt;
  double topZ = -1e300;
  for (int k = 0; k < labels.nz; ++k) {
    for (int j = 0; j < labels.ny; ++j) {
      for (int i = 0; i < labels.nx; ++i) {
        const float v = labels.At(i, j, k);
        if (v > 0 && v < float(wanted.size()) && wanted[size_t(v)]) {
          topZ = std::max(topZ, labels.toWorld.Apply(i, j, k)[2]);
        }
      }
    }
  }
  return topZ > -1e300 ? std::optional<double>(topZ) : std::nullopt;
}

}  // namespace

std::optional<std::pair<double, double>> DefaultExtent(const Volume& scan, const Volume& labels,
                                                       const std::vector<LabelName>& names,
                                                       char region, PlaneOrientation plane,
                                                       std::string& how) {
  if (plane == PlaneOrientation::kCoronal) {
    how = "coronal planes go onto no pictogram";
    return std::nullopt;
  }
  const BodyLayers body = BodyOf(scan);
  const int top = body.Top();
  const double midX = BodyMidX(body);
  const char* axisName = plane == PlaneOrientation::kAxial ? "z" : "x";
  auto describe = [&](const std::pair<double, double>& e, const std::string& basis) {
    how = basis + "; " + axisName + " " + Mm(e.first) + " mm at 0 %, " + Mm(e.second) +
          " mm at 100 % (--extent " + Mm(e.first) + "," + Mm(e.second) + ")";
    return e;
  };
  if (region == 'K' && top >= 0) {
    const double vertex = body.Z(top) + BodyLayers::kLayer / 2;
    double chin = 0;
    const bool found = FindChin(body, top, vertex, chin);
    if (!found) chin = vertex - kAdultHeadMm;
    return describe(Mapping(vertex, kHeadVertex, chin, kHeadChin, plane, midX),
                    "head pictogram: vertex at z " + Mm(vertex) + " mm (top of the scan's body) "
                    "at 5 %, chin at z " + Mm(chin) + " mm (" +
                    (found ? "where the face ends in the scan"
                           : "230 mm below the vertex, an adult's head: the scan shows no chin") +
                    ") at 60 %");
  }
  if (region == 'R') {
    std::vector<std::pair<double, const Landmark*>> found;  // world z of its top
    for (const Landmark& l : kTrunkLandmarks) {
      if (const std::optional<double> z = TopOfLandmark(labels, names, l)) found.push_back({*z, &l});
    }
    if (found.size() >= 2 && found.front().first > found.back().first + 50) {
      const auto& a = found.front();
      const auto& b = found.back();
      return describe(Mapping(a.first, a.second->percent, b.first, b.second->percent, plane, midX),
                      std::string("trunk pictogram: the ") + a.second->what + " (z " +
                          Mm(a.first) + " mm) at " + Mm(a.second->percent).substr(1) + " %, the " +
                          b.second->what + " (z " + Mm(b.first) + " mm) at " +
                          Mm(b.second->percent).substr(1) + " %, from the label map");
    }
  }
  return std::nullopt;
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
