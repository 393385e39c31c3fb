// What `atlasbau series` makes of its inputs before it writes: label maps that are really scans,
// warnings a teacher needs, the default pixel size, the pictogram mapping and the order of the
// plane lists.
#include <nifti2_io.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "authoring/core/series.h"
#include "authoring/core/series_command.h"
#include "platform/core/text_file.h"
#include "tests/support/command_line.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

namespace fs = std::filesystem;
using Field = std::function<float(double x, double y, double z)>;

// A volume of n^3 voxels of `mm`, centred on the world origin, its voxels from `field`.
Volume MakeVolume(int n, double mm, const Field& field) {
  Volume v;
  v.nx = v.ny = v.nz = n;
  v.spacing = {mm, mm, mm};
  const double origin = -0.5 * (n - 1) * mm;
  v.toWorld.m = {{{mm, 0, 0, origin}, {0, mm, 0, origin}, {0, 0, mm, origin}}};
  v.orientation = "sform";
  v.voxels.reserve(size_t(n) * size_t(n) * size_t(n));
  for (int k = 0; k < n; ++k) {
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        v.voxels.push_back(field(origin + i * mm, origin + j * mm, origin + k * mm));
      }
    }
  }
  return v;
}

// The same as a NIfTI file; without `oriented` the header has neither sform nor qform.
void WriteVolume(const fs::path& path, const Volume& v, bool oriented = true) {
  const int64_t dims[8] = {3, v.nx, v.ny, v.nz, 1, 1, 1, 1};
  nifti_image* nim = nifti_make_new_nim(dims, DT_FLOAT32, 1);
  ASSERT_NE(nim, nullptr);
  nifti_dmat44 m{};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) m.m[r][c] = v.toWorld.m[size_t(r)][size_t(c)];
  }
  m.m[3][3] = 1;
  nim->sform_code = oriented ? 1 : 0;
  nim->qform_code = 0;
  nim->sto_xyz = m;
  nim->dx = nim->pixdim[1] = v.spacing[0];
  nim->dy = nim->pixdim[2] = v.spacing[1];
  nim->dz = nim->pixdim[3] = v.spacing[2];
  std::copy(v.voxels.begin(), v.voxels.end(), static_cast<float*>(nim->data));
  nim->nifti_type = NIFTI_FTYPE_NIFTI1_1;
  ASSERT_EQ(nifti_set_filenames(nim, path.c_str(), 0, 1), 0);
  nifti_image_write(nim);
  nifti_image_free(nim);
}

// A body of tissue 90 mm wide with a sphere (label 1) above a cube (label 2) and a small blob
// (label 3) the table does not name; 40 voxels of 2 mm a side.
float Scene(double x, double y, double z, bool labels) {
  const bool sphere = x * x + y * y + (z - 15) * (z - 15) <= 15 * 15;
  const bool cube = std::abs(x) <= 10 && std::abs(y) <= 10 && std::abs(z + 15) <= 10;
  const bool blob = std::abs(x - 25) <= 3 && std::abs(y) <= 3 && std::abs(z + 15) <= 3;
  const int label = sphere ? 1 : cube ? 2 : blob ? 3 : 0;
  if (labels) return float(label);
  return label == 1                             ? 200.0f
         : label == 2                           ? 120.0f
         : std::abs(x) < 30 && std::abs(y) < 30 ? 60.0f
                                                : 0.0f;
}

class SeriesInput : public ::testing::Test {
 protected:
  void SetUp() override {
    scan_ = MakeVolume(40, 2, [](double x, double y, double z) { return Scene(x, y, z, false); });
    labels_ = MakeVolume(40, 2, [](double x, double y, double z) { return Scene(x, y, z, true); });
    WriteVolume(tree_.Root() / "scan.nii", scan_);
    WriteVolume(tree_.Root() / "labels.nii", labels_);
    tree_.Write("table.txt", "1 Kugel\n2 W\xC3\xBCrfel\n");
  }
  // The command with the usual arguments, `extra` replacing or adding options ("-" drops one).
  int Run(std::vector<std::string> extra, const std::string& tree = "atlas") {
    std::vector<std::string> args = {(tree_.Root() / tree).string(),
                                     "--image",
                                     (tree_.Root() / "scan.nii").string(),
                                     "--labels",
                                     (tree_.Root() / "labels.nii").string(),
                                     "--table",
                                     (tree_.Root() / "table.txt").string(),
                                     "--name",
                                     "Kopf axial",
                                     "--plane",
                                     "axial",
                                     "--type",
                                     "mr",
                                     "--region",
                                     "kopf",
                                     "--from",
                                     "36",
                                     "--to",
                                     "-20",
                                     "--step",
                                     "14",
                                     "--pixel",
                                     "1"};
    args = test::WithOptions(std::move(args), extra);
    std::ostringstream out, err;
    const int status = RunSeriesCommand(args, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }
  std::string List(const std::string& name) {
    const auto bytes = ReadFileBytes(tree_.Root() / "atlas" / "Daten" / name);
    return bytes ? *bytes : std::string();
  }
  // Whether the structure list has a line of `structure` (padded with blanks) on `page`.
  bool Listed(const std::string& structure, const std::string& page = "") {
    std::istringstream lines(List("Struktur.LST"));
    std::string line;
    while (std::getline(lines, line)) {
      if (line.starts_with(structure + " ") && line.find("# " + page) != std::string::npos) {
        return true;
      }
    }
    return false;
  }
  static size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  test::TempTree tree_;
  Volume scan_, labels_;
  std::string out_, err_;
};

TEST_F(SeriesInput, ScansGivenAsLabelMapsAreRefusedBeforeAnythingIsWritten) {
  struct Case {
    const char* what;
    Field field;
    const char* message;
  };
  const Case cases[] = {
      {"a CT", [](double, double, double z) { return z < 0 ? -1000.0f : 40.0f; }, "negative"},
      {"an MR", [](double x, double, double) { return float(100 + x * 0.37); }, "no whole numbers"},
      {"thousands of grey levels",
       [](double x, double y, double z) {
         return std::floor(float(int(x + 40) + 80 * int(y + 40) + 6400 * int(z + 40)) / 2);
       },
       "more than 1000 different values"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteVolume(tree_.Root() / "wrong.nii", MakeVolume(40, 2, c.field));
    EXPECT_EQ(Run({"--labels", (tree_.Root() / "wrong.nii").string()}), 1);
    EXPECT_NE(err_.find(c.message), std::string::npos) << err_;
    EXPECT_NE(err_.find("--image and --labels may be swapped"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(tree_.Root() / "atlas"));
  }
  // An 8-bit MR holds whole numbers only, few of them: it is warned about, not refused.
  WriteVolume(tree_.Root() / "mr8.nii", MakeVolume(40, 2, [](double x, double y, double z) {
                return float(int(x * 7 + y * 3 + z * 5 + 1000) % 200 + 1);
              }));
  EXPECT_EQ(Run({"--labels", (tree_.Root() / "mr8.nii").string(), "--table", "-"}), 0) << err_;
  EXPECT_NE(err_.find("looks like a scan"), std::string::npos) << err_;
  EXPECT_NE(err_.find("no name for any of the 100 values"), std::string::npos) << err_;
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(err_.find("looks like a scan"), std::string::npos) << err_;
}

TEST(SeriesLabelMap, CountsTheVoxelsOfEveryValueForgivingScalingsRoundingErrors) {
  Volume v = MakeVolume(4, 1, [](double x, double, double) {
    return x < 0 ? 0.0f : x < 1 ? 2.0f * 1.0000001f : 7.0f;
  });
  std::map<long, size_t> voxels;
  std::string error;
  ASSERT_TRUE(SurveyLabelMap(v, voxels, error)) << error;
  EXPECT_EQ(voxels, (std::map<long, size_t>{{2, 16}, {7, 16}}));
  v.voxels[5] = 2.01f;
  EXPECT_FALSE(SurveyLabelMap(v, voxels, error));
}

TEST_F(SeriesInput, WarnsOfUnnamedValuesEmptyPlanesAndNamesTheAtlasCannotHoldThenSumsUp) {
  // Planes at +36 mm (above everything labelled), +22, +8, -6 and -20 mm; none meets the blob.
  ASSERT_EQ(Run({}), 0) << out_ << err_;
  size_t blob = 0;
  for (float v : labels_.voxels) blob += v == 3 ? 1 : 0;
  const std::string unnamed = "1 value(s) of the label map have no name in the table: 3 (" +
                              std::to_string(blob) + " voxels)";
  EXPECT_EQ(Count(err_, unnamed), 1u) << err_;
  EXPECT_NE(err_.find("1 plane(s) show no structure at all: Kopf axial +36 mm"), std::string::npos)
      << err_;
  EXPECT_NE(out_.find("Summary: 5 page(s) of \"Kopf axial\" from -20 to +36 mm, 2 structure(s), "
                      "2 warning(s) (above), the tree checks clean."),
            std::string::npos)
      << out_;

  // A name of letters Windows-1252 lacks: the structure gets a plain name, not "?"; as the
  // series' name it is refused.
  tree_.Write("table.txt", "1 \xE6\xB5\xB7\xE9\xA6\xAC\n2 W\xC3\xBCrfel\n3 Fleck\n");
  ASSERT_EQ(Run({}), 0) << err_;
  EXPECT_NE(err_.find("cannot store (Windows-1252): 1 \"\xE6\xB5\xB7\xE9\xA6\xAC\""),
            std::string::npos)
      << err_;
  EXPECT_TRUE(Listed("Struktur 1"));
  EXPECT_EQ(List("Struktur.LST").find('?'), std::string::npos);
  const std::string index = List("Index.LST");
  EXPECT_EQ(Run({"--name", "Kopf \xCE\xB1"}), 2);
  EXPECT_NE(err_.find("cannot store"), std::string::npos) << err_;
  EXPECT_EQ(List("Index.LST"), index);

  // A CT window narrower than 10 HU: most likely centre and width the wrong way round.
  ASSERT_EQ(Run({"--type", "ct", "--window", "40,5"}), 0) << err_;
  EXPECT_NE(err_.find("did you mean --window 5,40?"), std::string::npos) << err_;
  ASSERT_EQ(Run({"--type", "ct", "--window", "40,400"}), 0) << err_;
  EXPECT_EQ(err_.find("did you mean"), std::string::npos) << err_;
}

TEST_F(SeriesInput, ALabelMapWithoutOrientationOnTheScansGridIsAssumedToShareIt) {
  // Shifted by its own voxel sizes alone, the map would miss the scan entirely.
  WriteVolume(tree_.Root() / "bare.nii", labels_, false);
  ASSERT_EQ(Run({"--labels", (tree_.Root() / "bare.nii").string()}), 0) << err_;
  EXPECT_NE(err_.find("neither sform nor qform: it is assumed to lie on the scan's grid"),
            std::string::npos)
      << err_;
  EXPECT_TRUE(Listed("Kugel", "Kopf axial +22 mm"));
}

TEST_F(SeriesInput, ShippedNameTablesApplyByThemselvesUnlessTurnedOff) {
  tree_.Write("table.txt", "1 Precentral_L\n2 Vermis_1_2\n");
  ASSERT_EQ(Run({}), 0) << err_;
  EXPECT_NE(out_.find("2 of 2 label names are in the table"), std::string::npos) << out_;
  EXPECT_NE(out_.find("aal.csv"), std::string::npos) << out_;
  EXPECT_TRUE(Listed("Gyrus praecentralis links"));
  ASSERT_EQ(Run({"--names", "none"}), 0) << err_;
  EXPECT_TRUE(Listed("Precentral L"));
  EXPECT_TRUE(Listed("Vermis 1/2"));
}

TEST(SeriesDefaults, TheLongerSideOfADefaultImageHasAtLeast512Pixels) {
  struct Case {
    int n;
    double mm;
    double pixel;
  };
  // A CT at 3 mm (124 voxels, 369 mm) gets pixels of 369 / 511 mm; a fine scan keeps its own.
  for (const Case c : {Case{124, 3, 0.722}, Case{600, 0.5, 0.5}, Case{256, 2, 0.998}}) {
    Volume v;
    v.nx = v.ny = v.nz = c.n;
    v.toWorld.m = {{{c.mm, 0, 0, 0}, {0, c.mm, 0, 0}, {0, 0, c.mm, 0}}};
    EXPECT_DOUBLE_EQ(DefaultPixel(v, PlaneOrientation::kAxial), c.pixel) << c.n;
    const double side = (c.n - 1) * c.mm / DefaultPixel(v, PlaneOrientation::kSagittal);
    EXPECT_GE(std::lround(side) + 1, 512) << c.n;
  }
}

// The planes of one orientation cut from the scan, `positions` in the order given.
std::vector<SeriesPage> Cut(const Volume& scan, const Volume& labels, PlaneOrientation plane,
                            std::vector<double> positions,
                            std::optional<std::pair<double, double>> extent = std::nullopt) {
  SeriesOptions o;
  o.name = "Serie";
  o.plane = plane;
  o.positions = std::move(positions);
  o.extent = extent;
  o.pixel = 4;
  std::ostringstream log;
  std::vector<SeriesPage> pages;
  std::string error;
  EXPECT_TRUE(CutSeries(scan, labels, {}, o, log, pages, error)) << error;
  return pages;
}

TEST_F(SeriesInput, PlaneListsRunUpTheBodyAndFromItsRightToItsLeftAsTheArrowsStep) {
  struct Case {
    PlaneOrientation plane;
    std::vector<double> mm;  // in page order
  };
  const Case cases[] = {{PlaneOrientation::kAxial, {-30, 0, 30}},     // feet to head
                        {PlaneOrientation::kSagittal, {-30, 0, 30}},  // patient's left to right
                        {PlaneOrientation::kCoronal, {30, 0, -30}}};  // as given
  for (const Case& c : cases) {
    SCOPED_TRACE(PlaneAxis(c.plane));
    for (const auto& extent :
         {std::optional<std::pair<double, double>>(), std::optional(std::pair{60.0, -60.0})}) {
      const std::vector<SeriesPage> pages = Cut(scan_, labels_, c.plane, {30, 0, -30}, extent);
      ASSERT_EQ(pages.size(), 3u);
      for (size_t i = 0; i < 3; ++i) EXPECT_EQ(pages[i].mm, c.mm[i]);
      if (c.plane == PlaneOrientation::kCoronal) continue;
      // The upper arrow (the next line) moves up the drawing or to its left.
      EXPECT_GT(pages[0].position, pages[1].position);
      EXPECT_GT(pages[1].position, pages[2].position);
    }
  }
}

TEST(SeriesDefaults, ThePictogramMappingFollowsTheBodyInTheScan) {
  // A whole head (an ellipsoid 230 mm high whose front recedes below the face) and a brain alone.
  const Volume head = MakeVolume(130, 2, [](double x, double y, double z) {
    return x * x / (75.0 * 75) + y * y / (95.0 * 95) + z * z / (115.0 * 115) <= 1 ? 100.0f : 0.0f;
  });
  const Volume brain = MakeVolume(80, 2, [](double x, double y, double z) {
    return (x - 10) * (x - 10) / (65.0 * 65) + y * y / (80.0 * 80) + z * z / (70.0 * 70) <= 1
               ? 100.0f
               : 0.0f;
  });
  std::string how;
  const Volume none;
  const auto headExtent = DefaultExtent(head, none, {}, 'K', PlaneOrientation::kAxial, how);
  ASSERT_TRUE(headExtent);
  EXPECT_NE(how.find("where the face ends in the scan"), std::string::npos) << how;
  auto percent = [](const std::pair<double, double>& e, double mm) {
    return (mm - e.first) / (e.second - e.first) * 100;
  };
  EXPECT_NEAR(percent(*headExtent, 115), 5, 1.5);   // vertex
  EXPECT_NEAR(percent(*headExtent, -89), 60, 1.5);  // where the front falls 35 mm behind the nose

  const auto brainExtent = DefaultExtent(brain, none, {}, 'K', PlaneOrientation::kAxial, how);
  ASSERT_TRUE(brainExtent);
  EXPECT_NE(how.find("the scan shows no chin"), std::string::npos) << how;
  EXPECT_NEAR(percent(*brainExtent, 70), 5, 1);
  EXPECT_NEAR(percent(*brainExtent, 70 - 230), 60, 1);
  EXPECT_NE(how.find("--extent "), std::string::npos) << how;
  // Sagittal planes on the same scale, the brain's midline (x = +10) in the middle.
  const auto sideways = DefaultExtent(brain, none, {}, 'K', PlaneOrientation::kSagittal, how);
  ASSERT_TRUE(sideways);
  EXPECT_NEAR(percent(*sideways, 10), 50.5, 1);
  EXPECT_NEAR(sideways->first - sideways->second,
              (brainExtent->first - brainExtent->second) * 190 / 353, 1);

  // The trunk: the clavicles' top at 8.5 %, the iliac crests' at 64 %; without them, nothing.
  const Volume trunk = MakeVolume(40, 10, [](double, double, double) { return 100.0f; });
  const Volume bones =
      MakeVolume(40, 10, [](double, double, double z) {  // voxel centres ..., -5, 5, ...
        return z > 100 && z < 150 ? 1.0f : z > -200 && z < -150 ? 2.0f : 0.0f;
      });
  const std::vector<LabelName> names = {{1, "clavicula_left", {}, false},
                                        {2, "hip_left", {}, false}};
  const auto trunkExtent = DefaultExtent(trunk, bones, names, 'R', PlaneOrientation::kAxial, how);
  ASSERT_TRUE(trunkExtent) << how;
  EXPECT_NEAR(percent(*trunkExtent, 145), 8.5, 0.01) << how;
  EXPECT_NEAR(percent(*trunkExtent, -155), 64, 0.01) << how;
  EXPECT_FALSE(DefaultExtent(trunk, bones, {}, 'R', PlaneOrientation::kAxial, how));
  EXPECT_FALSE(DefaultExtent(trunk, bones, names, 'R', PlaneOrientation::kCoronal, how));
}

TEST_F(SeriesInput, TwoSeriesFromOneScanShareTheMappingAndSayWhichItIs) {
  ASSERT_EQ(Run({}), 0) << err_;
  EXPECT_NE(out_.find("pictogram: head pictogram: vertex at z"), std::string::npos) << out_;
  ASSERT_EQ(Run({"--name", "Kopf fein", "--from", "22", "--to", "-6", "--step", "7"}), 0) << err_;
  const std::string planes = List("SM_KOPF.POS");
  const auto position = [&](const std::string& page) {
    const size_t at = planes.find(page + " # ");
    return at == std::string::npos ? -1 : std::atoi(planes.c_str() + at + page.size() + 3);
  };
  EXPECT_GT(position("Kopf axial +22 mm"), 0) << planes;
  EXPECT_EQ(position("Kopf axial +22 mm"), position("Kopf fein +22 mm")) << planes;
  EXPECT_EQ(position("Kopf axial -6 mm"), position("Kopf fein -6 mm")) << planes;
}

}  // namespace
}  // namespace ostrelin
