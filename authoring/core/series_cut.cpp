#include "authoring/core/series.h"

// Cutting a series: the planes of a scan and its label map resliced into pages, each with its
// grey image, its structures and the pixels of each.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "authoring/core/series_parallel.h"
#include "authoring/core/tree_layout.h"
#include "platform/core/cp1252.h"
#include "platform/core/strings.h"

namespace ostrelin {

namespace {

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

struct Structure {
  std::string name;  // Windows-1252
  Rgb colour;
  std::vector<long> values;
};

// The scan and the label map share some of the world; false with `error` saying where not.
bool CheckOverlap(const Volume& scan, const Volume& labels, std::string& error) {
  const auto box = WorldBox(scan);
  const auto labelBox = WorldBox(labels);
  for (size_t a = 0; a < 3; ++a) {
    // Half a voxel of slack either way: boxes are of voxel centres.
    const double slack = 0.5 * (scan.spacing[a] + labels.spacing[a]);
    if (labelBox[a].first > box[a].second + slack || labelBox[a].second < box[a].first - slack) {
      error = "the label map does not overlap the scan (" + std::string(1, "xyz"[a]) + ": scan " +
              FormatMillimetres(box[a].first) + " to " + FormatMillimetres(box[a].second) +
              " mm, labels " + FormatMillimetres(labelBox[a].first) + " to " +
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

// The pixels of each label value of a plane: a table for the values up to 65535 (segmentations
// number their structures from 1), a map for larger ones.
class ValueCounts {
 public:
  ValueCounts() : small_(65536, 0) {}
  void Add(long value) {
    if (value < long(small_.size())) {
      if (small_[size_t(value)]++ == 0) seen_.push_back(value);
    } else {
      ++large_[value];
    }
  }
  // The counts by value, and the table cleared for the next plane.
  std::map<long, size_t> Take() {
    std::map<long, size_t> counts = std::move(large_);
    large_.clear();
    for (long v : seen_) {
      counts.emplace(v, small_[size_t(v)]);
      small_[size_t(v)] = 0;
    }
    seen_.clear();
    return counts;
  }

 private:
  std::vector<std::uint32_t> small_;  // a plane has fewer than 2^32 pixels
  std::vector<long> seen_;
  std::map<long, size_t> large_;
};

// SampleLinear and SampleNearest (section.h) for the plane loop, value for value the same: the
// coordinates they floor lie at 0 and above there, where converting to int floors as well, and
// rounding goes through std::lround only where a value is no whole number or out of range.
struct FastSampler {
  const Volume& v;
  const int n[3];
  explicit FastSampler(const Volume& volume) : v(volume), n{v.nx, v.ny, v.nz} {}

  bool Linear(const std::array<double, 3>& p, float& value) const {
    int lower[3], upper[3];
    double weight[3];
    for (int a = 0; a < 3; ++a) {
      const double q = p[size_t(a)];
      if (!(q >= -0.5 && q <= n[a] - 0.5)) return false;
      const double clamped = std::clamp(q, 0.0, double(n[a] - 1));
      lower[a] = int(clamped);
      upper[a] = std::min(lower[a] + 1, n[a] - 1);
      weight[a] = clamped - double(lower[a]);
    }
    const double x[2] = {1 - weight[0], weight[0]}, y[2] = {1 - weight[1], weight[1]},
                 z[2] = {1 - weight[2], weight[2]};
    const size_t nx = size_t(n[0]), plane = nx * size_t(n[1]);
    const size_t col[2] = {size_t(lower[0]), size_t(upper[0])};
    const size_t row[2] = {size_t(lower[1]) * nx, size_t(upper[1]) * nx};
    const size_t slice[2] = {size_t(lower[2]) * plane, size_t(upper[2]) * plane};
    const float* voxels = v.voxels.data();
    double sum = 0;
    for (int d = 0; d < 8; ++d) {
      const int di = d & 1, dj = (d >> 1) & 1, dk = d >> 2;
      const double w = x[di] * y[dj] * z[dk];
      if (w == 0) continue;
      sum += w * voxels[slice[dk] + row[dj] + col[di]];
    }
    value = float(sum);
    return true;
  }

  long Nearest(const std::array<double, 3>& p) const {
    int index[3];
    for (int a = 0; a < 3; ++a) {
      const double q = p[size_t(a)];
      if (!(q >= -0.5 && q < n[a] - 0.5)) return 0;
      index[a] = std::min(int(q + 0.5), n[a] - 1);
    }
    return LabelOf(v.At(index[0], index[1], index[2]));
  }

  static long LabelOf(float value) {
    if (!(value > 0) || !std::isfinite(value)) return 0;
    if (value < 1e9f && value == float(long(value))) return long(value);
    return std::lround(value);
  }
};

// Affine::Apply, the same sums in the same order, where the plane loop can inline it.
inline std::array<double, 3> Apply(const Affine& a, double i, double j, double k) {
  std::array<double, 3> w;
  for (size_t r = 0; r < 3; ++r) w[r] = a.m[r][0] * i + a.m[r][1] * j + a.m[r][2] * k + a.m[r][3];
  return w;
}

// std::clamp(std::lround(x), 0L, 255L), without the call for the usual values.
inline std::uint8_t GreyLevel(double x) {
  if (x >= 0 && x < 255.5) {
    const long whole = long(x);
    return std::uint8_t(whole + (x - double(whole) >= 0.5 ? 1 : 0));
  }
  // Below black (the background outside the body, mostly) and above white; what lround makes of
  // values beyond a long, and of NaN, stays its own.
  if (x < 0) return 0;
  if (x < 1e18) return 255;
  return std::uint8_t(std::clamp(std::lround(x), 0L, 255L));
}

// The pixels of a plane and a volume's voxel coordinates there. Where each voxel axis follows one
// world axis alone (voxel sizes, flips and swapped axes: the usual matrices), the coordinate
// along it is the same down a column, along a row or over the whole plane, up to the sign of a
// zero that no sample depends on: it is worked out once per column, row or plane, in taps that
// hold what SampleLinear or SampleNearest make of it. Other matrices go pixel by pixel.
class PlaneSampler {
 public:
  PlaneSampler(const Volume& v, const Affine& fromWorld, const PlaneGrid& grid, double mm,
               double nudge)
      : v_(v), fromWorld_(fromWorld), grid_(grid), mm_(mm), nudge_(nudge), sampler_(v) {
    for (size_t a = 0; a < 3 && separable_; ++a) {
      int follows = -1;
      for (int d = 0; d < 3; ++d) {
        if (fromWorld.m[a][size_t(d)] == 0) continue;
        if (follows >= 0) separable_ = false;
        follows = d;
      }
      const int stepC = follows == grid.frame.column ? 1 : 0;
      const int stepR = follows == grid.frame.row ? 1 : 0;
      step_[a] = {stepC, stepR};
      const int count = stepC ? grid.width : stepR ? grid.height : 1;
      for (int t = 0; t < count; ++t) {
        const std::array<double, 3> q = Voxel(stepC ? t : 0, stepR ? t : 0);
        linear_[a].push_back(LinearTapOf(q[a], a));
        nearest_[a].push_back(NearestTapOf(q[a], a));
      }
    }
  }

  // SampleLinear at pixel (c, r).
  bool Linear(int c, int r, float& value) const {
    if (!separable_) return sampler_.Linear(Voxel(c, r), value);
    const LinearTap& x = linear_[0][Tap(0, c, r)];
    const LinearTap& y = linear_[1][Tap(1, c, r)];
    const LinearTap& z = linear_[2][Tap(2, c, r)];
    if (!x.inside || !y.inside || !z.inside) return false;
    const float* voxels = v_.voxels.data();
    double sum = 0;
    for (int d = 0; d < 8; ++d) {
      const int di = d & 1, dj = (d >> 1) & 1, dk = d >> 2;
      const double w = x.weight[di] * y.weight[dj] * z.weight[dk];
      if (w == 0) continue;
      sum += w * voxels[z.offset[dk] + y.offset[dj] + x.offset[di]];
    }
    value = float(sum);
    return true;
  }

  // SampleNearest at pixel (c, r).
  long Nearest(int c, int r) const {
    if (!separable_) return sampler_.Nearest(Voxel(c, r));
    const NearestTap& x = nearest_[0][Tap(0, c, r)];
    const NearestTap& y = nearest_[1][Tap(1, c, r)];
    const NearestTap& z = nearest_[2][Tap(2, c, r)];
    if (!x.inside || !y.inside || !z.inside) return 0;
    return FastSampler::LabelOf(v_.voxels[z.offset + y.offset + x.offset]);
  }

 private:
  struct LinearTap {
    bool inside = false;
    size_t offset[2] = {0, 0};  // of the lower and the upper voxel, in voxels
    double weight[2] = {0, 0};  // of the lower and the upper voxel
  };
  struct NearestTap {
    bool inside = false;
    size_t offset = 0;
  };

  std::array<double, 3> Voxel(int c, int r) const {
    std::array<double, 3> world{};
    world[size_t(grid_.frame.axis)] = mm_;
    world[size_t(grid_.frame.column)] = grid_.maxU - c * grid_.pixel;
    world[size_t(grid_.frame.row)] = grid_.maxV - r * grid_.pixel;
    return Apply(fromWorld_, world[0] + nudge_, world[1] + nudge_, world[2] + nudge_);
  }
  size_t Stride(size_t a) const {
    return a == 0 ? 1 : a == 1 ? size_t(v_.nx) : size_t(v_.nx) * size_t(v_.ny);
  }
  LinearTap LinearTapOf(double q, size_t a) const {
    const int n = a == 0 ? v_.nx : a == 1 ? v_.ny : v_.nz;
    LinearTap t;
    if (!(q >= -0.5 && q <= n - 0.5)) return t;
    const double clamped = std::clamp(q, 0.0, double(n - 1));
    const int lower = int(clamped);
    const double weight = clamped - double(lower);
    t.inside = true;
    t.offset[0] = size_t(lower) * Stride(a);
    t.offset[1] = size_t(std::min(lower + 1, n - 1)) * Stride(a);
    t.weight[0] = 1 - weight;
    t.weight[1] = weight;
    return t;
  }
  NearestTap NearestTapOf(double q, size_t a) const {
    const int n = a == 0 ? v_.nx : a == 1 ? v_.ny : v_.nz;
    NearestTap t;
    if (!(q >= -0.5 && q < n - 0.5)) return t;
    t.inside = true;
    t.offset = size_t(std::min(int(q + 0.5), n - 1)) * Stride(a);
    return t;
  }
  size_t Tap(size_t a, int c, int r) const {
    return size_t(c * step_[a].first + r * step_[a].second);
  }

  const Volume& v_;
  const Affine& fromWorld_;
  const PlaneGrid& grid_;
  const double mm_, nudge_;
  const FastSampler sampler_;
  bool separable_ = true;
  std::pair<int, int> step_[3];
  std::vector<LinearTap> linear_[3];
  std::vector<NearestTap> nearest_[3];
};

// The label value of every pixel of the plane at `mm`, with the pixels of each value.
void SamplePlaneLabels(const Volume& labels, const PlaneGrid& grid, double mm,
                       std::vector<long>& values, ValueCounts& pixelsOfValue) {
  // Ties between two label voxels are broken the same way in the world whichever way the voxel
  // axes run: the point is nudged a millionth of a millimetre.
  const PlaneSampler labelSampler(labels, grid.labelsFromWorld, grid, mm, 1e-6);
  for (int r = 0; r < grid.height; ++r) {
    long* value = values.data() + size_t(r) * size_t(grid.width);
    for (int c = 0; c < grid.width; ++c) {
      value[c] = labelSampler.Nearest(c, r);
      if (value[c] > 0) pixelsOfValue.Add(value[c]);
    }
  }
}

// The grey image of the plane at `mm` and its body mask (from the first to the last pixel of a
// row that is bright or labelled), the plane's label values at hand.
void SamplePlaneGrey(const Volume& scan, const PlaneGrid& grid, const GreyWindow& window, double mm,
                     const std::vector<long>& values, Section& s) {
  const int width = grid.width;
  s.grey = Raster(width, grid.height, 1);
  s.body.assign(values.size(), 0);
  const PlaneSampler scanSampler(scan, grid.scanFromWorld, grid, mm, 0);
  for (int r = 0; r < grid.height; ++r) {
    int firstBody = -1, lastBody = -1;
    std::uint8_t* grey = s.grey.pixels.data() + size_t(r) * size_t(width);
    const long* value = values.data() + size_t(r) * size_t(width);
    for (int c = 0; c < width; ++c) {
      float v = 0;
      const bool inside = scanSampler.Linear(c, r, v);
      const double level = inside ? (v - window.low) / (window.high - window.low) : 0;
      grey[c] = GreyLevel(level * 255);
      if (grey[c] > 25 || value[c] > 0) {
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
        log << "plane " << FormatMillimetres(mm) << " mm: more than 255 structures, label " << value
            << " left out\n";
        continue;
      }
      s.structures.push_back({structures[id].name, structures[id].colour, BrainRegion::kOther});
      it = numberOfStructure.emplace(id, std::uint8_t(s.structures.size())).first;
    }
    numberOfValue[value] = it->second;
  }
  // Label values come in runs: the number of the last one is at hand.
  long lastValue = 0;
  std::uint8_t lastNumber = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i] <= 0) continue;
    if (values[i] != lastValue) {
      const auto it = numberOfValue.find(values[i]);
      lastValue = values[i];
      lastNumber = it == numberOfValue.end() ? 0 : it->second;
    }
    s.labels[i] = lastNumber;
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
  auto percent = [&](double mm) {
    return first == last ? 0.0 : (mm - first) / (last - first) * 100;
  };
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
  StructureTable structures(names, options.rename);
  double halfVoxel = 0;
  for (size_t c = 0; c < 3; ++c) {
    halfVoxel = std::max(halfVoxel, 0.5 * std::abs(scan.toWorld.m[size_t(grid.frame.axis)][c]));
  }
  // The planes' label values are sampled a few at once, then numbered one after the other (a
  // structure's colour and name come from the first plane that shows it), then their grey images
  // are sampled a few at once.
  struct Slot {
    SeriesPage page;
    std::vector<long> values;
    ValueCounts counts;
  };
  // A slot holds a plane's label values, images and masks, about 11 bytes a pixel, and its table
  // of value counts. A batch has a slot for every worker within 256 MB (huge planes are cut one
  // at a time), and more within 32 MB, so that the first planes' labels take about as long as the
  // window found beside them.
  const std::vector<double>& positions = options.positions;
  const size_t pixels = size_t(grid.width) * size_t(grid.height);
  const size_t slotBytes = 11 * pixels + sizeof(std::uint32_t) * 65536;
  const size_t planes = std::max<size_t>(positions.size(), 1);
  const size_t slotsForWorkers =
      std::clamp<size_t>((size_t(256) << 20) / slotBytes, 1, std::min(SeriesWorkers(), planes));
  const size_t perBatch =
      std::clamp<size_t>((size_t(32) << 20) / slotBytes, slotsForWorkers, planes);
  const size_t workers = std::min(perBatch, SeriesWorkers());
  std::vector<Slot> slots(perBatch);
  for (Slot& slot : slots) slot.values.resize(pixels);
  auto inScan = [&](double mm) { return mm >= grid.lo - halfVoxel && mm <= grid.hi + halfVoxel; };
  // The automatic window takes a pass over the whole scan: it is found on a thread of its own
  // while the first planes' labels are sampled and numbered. The log says it first all the same.
  GreyWindow window;
  std::optional<SideJob> windowJob;
  if (options.window) {
    window = WindowOf(options, scan);
  } else {
    windowJob.emplace([&] { window = AutoWindow(scan); }, SeriesWorkers() > 1);
  }
  bool windowLogged = false;
  auto logWindow = [&] {
    if (windowLogged) return;
    if (windowJob) windowJob->Wait();
    log << "window " << window.low << " to " << window.high << ", " << grid.width << " x "
        << grid.height << " pixels of " << grid.pixel << " mm\n";
    windowLogged = true;
  };
  for (size_t batch = 0; batch < positions.size(); batch += perBatch) {
    const size_t n = std::min(perBatch, positions.size() - batch);
    const size_t labelWorkers =
        windowJob && !windowLogged ? std::max<size_t>(workers, 2) - 1 : workers;
    RunJobs(n, labelWorkers, [&](size_t j) {
      const double mm = positions[batch + j];
      if (!inScan(mm)) return;
      Slot& slot = slots[j];
      slot.page = SeriesPage();
      NamePage(options, mm, slot.page);
      SamplePlaneLabels(labels, grid, mm, slot.values, slot.counts);
    });
    std::ostringstream notes;
    for (size_t j = 0; j < n; ++j) {
      const double mm = positions[batch + j];
      if (!inScan(mm)) {
        notes << "plane " << FormatMillimetres(mm) << " mm lies outside the scan ("
              << FormatMillimetres(grid.lo) << " to " << FormatMillimetres(grid.hi)
              << " mm): skipped\n";
        continue;
      }
      Section& section = slots[j].page.section;
      section.labels.assign(pixels, 0);
      NumberStructures(slots[j].values, slots[j].counts.Take(), mm, structures, section, notes);
      DropTinyStructures(section, std::max<size_t>(options.minPixels, 1));
      slots[j].page.areas = section.PixelCounts();
    }
    logWindow();
    log << notes.str();
    RunJobs(n, workers, [&](size_t j) {
      const double mm = positions[batch + j];
      if (inScan(mm)) {
        SamplePlaneGrey(scan, grid, window, mm, slots[j].values, slots[j].page.section);
      }
    });
    for (size_t j = 0; j < n; ++j) {
      if (inScan(positions[batch + j])) pages.push_back(std::move(slots[j].page));
    }
  }
  logWindow();
  if (pages.empty()) {
    error = "no plane lies in the scan, which reaches from " + FormatMillimetres(grid.lo) + " to " +
            FormatMillimetres(grid.hi) + " mm along " + std::string(1, "xyz"[grid.frame.axis]);
    return false;
  }
  PlacePages(options, grid, pages);
  return true;
}

}  // namespace ostrelin
