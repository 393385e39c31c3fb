#include "authoring/core/series.h"

// What a series takes when the command line leaves it open: the pixel size and the places of the
// planes on the pictogram, found from the body in the scan and the landmarks of its label map;
// and the survey of a label map before it is used.

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
  const size_t count = labels.voxels.size();
  for (size_t i = 0; i < count; ++i) {
    float v = labels.voxels[i];
    // A whole number from 0 to 65535 (converting to int floors there, without a call), counted
    // with the voxels of the same value that follow it: label maps are mostly long runs.
    if (v >= 0 && v < 65536 && v == float(int(v))) {
      if (small[size_t(v)]++ == 0 && ++distinct > kMaxLabelValues + 1) break;
      size_t end = i + 1;
      while (end < count && labels.voxels[end] == v) ++end;
      small[size_t(v)] += end - i - 1;
      i = end - 1;
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
      error =
          "the label map holds negative values (" + std::to_string(std::lround(v)) + ")" + kSwapped;
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
        const size_t layer =
            std::min(n - 1, size_t(std::max(0.0, (w[2] - layers.bottom) / BodyLayers::kLayer)));
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
    return describe(
        Mapping(vertex, kHeadVertex, chin, kHeadChin, plane, midX),
        "head pictogram: vertex at z " + Mm(vertex) +
            " mm (top of the scan's body) "
            "at 5 %, chin at z " +
            Mm(chin) + " mm (" +
            (found ? "where the face ends in the scan"
                   : "230 mm below the vertex, an adult's head: the scan shows no chin") +
            ") at 60 %");
  }
  if (region == 'R') {
    std::vector<std::pair<double, const Landmark*>> found;  // world z of its top
    for (const Landmark& l : kTrunkLandmarks) {
      if (const std::optional<double> z = TopOfLandmark(labels, names, l)) {
        found.push_back({*z, &l});
      }
    }
    if (found.size() >= 2 && found.front().first > found.back().first + 50) {
      const auto& a = found.front();
      const auto& b = found.back();
      return describe(Mapping(a.first, a.second->percent, b.first, b.second->percent, plane, midX),
                      std::string("trunk pictogram: the ") + a.second->what + " (z " + Mm(a.first) +
                          " mm) at " + Mm(a.second->percent).substr(1) + " %, the " +
                          b.second->what + " (z " + Mm(b.first) + " mm) at " +
                          Mm(b.second->percent).substr(1) + " %, from the label map");
    }
  }
  return std::nullopt;
}

}  // namespace ostrelin
