#pragma once
// Series of pages from a scan and its label map: the planes of one orientation at chosen world
// positions, each a grey image in radiological display with the structures of the label map as
// its outline file, optionally a schematic drawing, written into a data tree whose lists take the
// series' pages in place of an earlier run's.

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "authoring/core/label_names.h"
#include "authoring/core/nifti.h"
#include "authoring/core/section.h"
#include "authoring/core/tree_transaction.h"

namespace ostrelin {

enum class PlaneOrientation { kAxial, kCoronal, kSagittal };
enum class SeriesType { kSchnitt, kCt, kMr, kSchema };

// The world axis (0 x, 1 y, 2 z) the planes of an orientation are stacked along.
int PlaneAxis(PlaneOrientation plane);

// How the image's columns and rows run through the world: column 0 lies at the largest value of
// world axis `column`, row 0 at the largest value of world axis `row` (radiological display:
// the patient's right on the image's left, anterior or head at the top, anterior on the left in
// sagittal planes).
struct PlaneFrame {
  int axis, column, row;
};
PlaneFrame FrameOf(PlaneOrientation plane);
// The finest voxel size among the voxel axes that lie mostly in the plane.
double FinestInPlane(const Volume& v, int axis);

struct SeriesOptions {
  std::filesystem::path tree;
  std::string name;   // UTF-8, "Kopf sagittal"
  std::string files;  // file names begin with it; empty: made from the name
  PlaneOrientation plane = PlaneOrientation::kAxial;
  SeriesType type = SeriesType::kMr;
  char region = 'K';              // letter of the page list: K, R, A, B, U
  char sex = 'M';                 // 'M' or 'W'
  std::vector<double> positions;  // world mm along the plane's axis, in page order
  double pixel = 0;               // mm a pixel; 0: the finest in-plane voxel size
  std::optional<std::pair<double, double>> extent;  // mm at the pictogram's 0 and 100
  std::optional<std::pair<double, double>> window;  // centre and width; none: automatic
  bool schema = false;                              // a schematic drawing for every plane as well
  size_t minPixels = 1;                             // smaller structures are left out of a plane
  std::vector<NameMapEntry> rename;
  // The text of a page (Windows-1252 with LF) instead of the usual one; `schemaText` for the
  // schematic drawing's.
  std::function<std::string(size_t page, bool schemaText)> text;
};

// What ReadNiftiFile made of one file.
struct VolumeRead {
  Volume volume;
  bool ok = false;
  std::string error;
};
// ReadNiftiFile on every path, the files read at once on a few threads (a series reads its scan
// and its label map so), the results in the order of the paths. `then(i, read)`, where given, is
// called on the reading thread as soon as file i is read (a series surveys its label map so while
// the scan is still being read).
std::vector<VolumeRead> ReadNiftiFiles(
    const std::vector<std::filesystem::path>& paths,
    const std::function<void(size_t, VolumeRead&)>& then = nullptr);

// The series' name as the lists hold it (Windows-1252, transliterated where need be).
std::string SeriesName(const SeriesOptions& options);

// One plane of a series, cut but not yet written.
struct SeriesPage {
  std::string name;  // Windows-1252, "Kopf axial +10 mm"
  std::string stem;  // image and text file name without extension
  double mm = 0;
  int position = -1;  // on the pictogram, percent; -1: on none
  Section section;
  std::vector<size_t> areas;  // pixels of each structure
  std::string Largest() const;
  std::vector<std::string> Structures() const;
};

// The scan's value range shown from black to white.
struct GreyWindow {
  double low = 0, high = 1;
};

// The window of the preset names ("weichteil", "lunge", "knochen", "gehirn"); nothing for others.
std::optional<std::pair<double, double>> WindowPreset(std::string_view name);

// The automatic window: the 0.5th to 99.5th percentile of the voxels inside the head or body.
GreyWindow AutoWindow(const Volume& scan);

// "+10", "-2,5", "0": a plane position as page names show it.
std::string FormatMillimetres(double mm);
// File names made from a series name: ASCII letters and digits in lower case, "_" between words.
std::string FileStemOf(std::string_view utf8Name);

// The world bounding box of the voxel centres: min and max along x, y, z.
std::array<std::pair<double, double>, 3> WorldBox(const Volume& volume);

// Cuts the planes. Positions outside the scan are skipped with a message on `log`. Planes on a
// pictogram come in its order from the bottom up (axial) or from the right to the left (sagittal),
// the order the panel's upper arrow steps through; coronal planes keep the order of `positions`.
// False with `error` set when no plane is left, the label map does not overlap the scan, or an
// image would be taller than an outline file can describe.
bool CutSeries(const Volume& scan, const Volume& labels, const std::vector<LabelName>& names,
               const SeriesOptions& options, std::ostream& log, std::vector<SeriesPage>& pages,
               std::string& error);

// A label map holds at most this many structures; more values mean it is no label map.
inline constexpr size_t kMaxLabelValues = 1000;

// The voxels of every label value above 0. False with `error` set (suggesting that --image and
// --labels were swapped) when the map holds negative values, values that are no whole numbers or
// more than kMaxLabelValues different values: a scan, not a label map.
bool SurveyLabelMap(const Volume& labels, std::map<long, size_t>& voxels, std::string& error);

// Of the labelled voxels, the share whose neighbour along i holds the same value: near 1 for a
// segmentation (structures are regions), far lower for a scan, whose grey values change from voxel
// to voxel. 1 when nothing is labelled.
double NeighbourAgreement(const Volume& labels);
// Below this agreement a "label map" is taken for a scan (segmentations show 0.7 and more, scans
// 0.1 to 0.25).
inline constexpr double kMinLabelAgreement = 0.5;

// The longer side of a default image has at least this many pixels.
inline constexpr int kMinLongerSide = 512;

// The pixel size when none is given: the finest in-plane voxel size, made finer where the longer
// side of the planes would have fewer than kMinLongerSide pixels.
double DefaultPixel(const Volume& scan, PlaneOrientation plane);

// The millimetres at the pictogram's 0 and 100 % that put the planes where the body drawing of
// the region shows them: for the head the vertex (the top of the body in the scan) at 5 % and the
// chin at 60 % (where the face ends in the scan, else an adult's 230 mm below the vertex); for the
// trunk two of the clavicles, iliac crests and femoral heads when the label map names them
// (TotalSegmentator's names). Sagittal planes share the axial scale with the body's midline at
// the pictogram's middle. Nothing when there is no such mapping (then the scan's extent serves);
// `how` tells which mapping was used or why there is none. It depends on the scan and the label
// map alone, so every series cut from them maps alike.
std::optional<std::pair<double, double>> DefaultExtent(const Volume& scan, const Volume& labels,
                                                       const std::vector<LabelName>& names,
                                                       char region, PlaneOrientation plane,
                                                       std::string& how);

// Writes the pages into `options.tree` (a new tree gets its folders and the pages every tree
// needs) and puts them into the page list, the structure list and the plane list of the region's
// pictogram in place of the pages an earlier run of the same series wrote. All or nothing: the
// files are staged inside the tree and put in place by renames (tree_transaction.h). False with
// `error` set when the tree cannot be written; the tree is then as it was.
//
// `begun`, when given, is the tree's transaction begun before the planes were cut, with the
// pages' files reserved (SeriesStagedFiles); otherwise one is begun here.
bool WriteSeries(const SeriesOptions& options, const std::vector<SeriesPage>& pages,
                 std::ostream& log, std::string& error, TreeTransaction* begun = nullptr);

// How many files a series of `options` stages for its pages at most: an image, an outline file
// and a text a plane and image. For TreeTransaction::Reserve, before the volumes are read.
size_t SeriesStagedFiles(const SeriesOptions& options);

// The usual text of a page: heading, what the plane shows, its structures as links, the
// neighbouring planes and the page's other image (Windows-1252 with LF).
std::string SeriesPageText(const SeriesOptions& options, const std::vector<SeriesPage>& pages,
                           size_t i, bool schemaText);

}  // namespace ostrelin
