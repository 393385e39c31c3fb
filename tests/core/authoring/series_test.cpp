// The series builder: planes cut from synthetic scenes at known world positions (under several
// voxel matrices), and the command writing, replacing and refusing series in a data tree.
#include <nifti2_io.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "authoring/core/atlas_check.h"
#include "authoring/core/series.h"
#include "authoring/core/series_command.h"
#include "authoring/core/series_parallel.h"
#include "authoring/core/series_tree.h"
#include "authoring/core/tree_transaction.h"
#include "platform/core/text_file.h"
#include "structures/core/outline_file.h"
#include "tests/support/command_line.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

namespace fs = std::filesystem;

// The scene, in world millimetres (x to the patient's right... as RAS: x right, y anterior,
// z superior): a sphere of radius 15 labelled 1, a cube of side 20 labelled 2, in a body of
// tissue.
constexpr double kSphere[3] = {20, -10, 30}, kRadius = 15;
constexpr double kCube[3] = {-25, 15, 0}, kHalfSide = 10;

int SceneLabel(double x, double y, double z) {
  const double dx = x - kSphere[0], dy = y - kSphere[1], dz = z - kSphere[2];
  if (dx * dx + dy * dy + dz * dz <= kRadius * kRadius) return 1;
  if (std::abs(x - kCube[0]) <= kHalfSide && std::abs(y - kCube[1]) <= kHalfSide &&
      std::abs(z - kCube[2]) <= kHalfSide) {
    return 2;
  }
  return 0;
}

// A volume of the scene on a grid: `spacing` mm, `flip` stores x and y running backwards (LPS),
// `labels` stores label values instead of intensities.
struct Grid {
  int n[3];
  double spacing[3];
  bool flip = false;
};

void WriteScene(const fs::path& path, const Grid& g, bool labels, int version = 1,
                const std::string& extension = "") {
  const int64_t dims[8] = {3, g.n[0], g.n[1], g.n[2], 1, 1, 1, 1};
  nifti_image* nim = nifti_make_new_nim(dims, DT_FLOAT32, 1);
  ASSERT_NE(nim, nullptr);
  // Voxel centres span [-half, +half] of the grid's extent around the origin.
  double origin[3];
  for (int a = 0; a < 3; ++a) origin[a] = -0.5 * (g.n[a] - 1) * g.spacing[a];
  nifti_dmat44 m{};
  for (int a = 0; a < 3; ++a) {
    const bool backwards = g.flip && a < 2;
    m.m[a][a] = backwards ? -g.spacing[a] : g.spacing[a];
    m.m[a][3] = backwards ? -origin[a] : origin[a];
  }
  m.m[3][3] = 1;
  nim->sform_code = 1;
  nim->qform_code = 0;
  nim->sto_xyz = m;
  nim->dx = nim->pixdim[1] = g.spacing[0];
  nim->dy = nim->pixdim[2] = g.spacing[1];
  nim->dz = nim->pixdim[3] = g.spacing[2];
  float* data = static_cast<float*>(nim->data);
  for (int k = 0; k < g.n[2]; ++k) {
    for (int j = 0; j < g.n[1]; ++j) {
      for (int i = 0; i < g.n[0]; ++i) {
        const double x = m.m[0][0] * i + m.m[0][3], y = m.m[1][1] * j + m.m[1][3],
                     z = m.m[2][2] * k + m.m[2][3];
        const int label = SceneLabel(x, y, z);
        const bool body = std::abs(x) < 45 && std::abs(y) < 45;
        *data++ = labels       ? float(label)
                  : label == 1 ? 200.0f
                  : label == 2 ? 120.0f
                  : body       ? 60.0f
                               : 0.0f;
      }
    }
  }
  if (!extension.empty()) nifti_add_extension(nim, extension.data(), int(extension.size()), 14);
  if (version == 2) {
    // The library writes NIfTI-1 here; a NIfTI-2 header is put together by hand.
    std::string h(544, '\0');
    auto put = [&h](size_t at, auto v) { std::memcpy(h.data() + at, &v, sizeof v); };
    put(0, std::int32_t(540));
    std::memcpy(h.data() + 4, "n+2\0\r\n\032\n", 8);
    put(12, std::int16_t(DT_FLOAT32));
    put(14, std::int16_t(32));
    for (int d = 0; d < 8; ++d) put(16 + 8 * size_t(d), std::int64_t(dims[d]));
    for (int d = 0; d < 8; ++d)
      put(104 + 8 * size_t(d), d == 0 ? 1.0 : d <= 3 ? g.spacing[d - 1] : 1.0);
    put(168, std::int64_t(544));
    put(176, 1.0);
    put(348, std::int32_t(1));
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 4; ++c) put(400 + 32 * size_t(r) + 8 * size_t(c), m.m[r][c]);
    }
    h.append(static_cast<const char*>(nim->data), size_t(nim->nvox) * sizeof(float));
    gzFile out = gzopen(path.c_str(), path.extension() == ".gz" ? "wb" : "wbT");
    ASSERT_NE(out, nullptr);
    gzwrite(out, h.data(), unsigned(h.size()));
    gzclose(out);
  } else {
    nim->nifti_type = NIFTI_FTYPE_NIFTI1_1;
    ASSERT_EQ(nifti_set_filenames(nim, path.c_str(), 0, 1), 0);
    nifti_image_write(nim);
  }
  nifti_image_free(nim);
}

Volume ReadScene(const fs::path& path) {
  Volume v;
  std::string error;
  EXPECT_TRUE(ReadNiftiFile(path, v, error)) << path << ": " << error;
  return v;
}

struct Blob {
  size_t area = 0;
  double column = 0, row = 0;  // centre
};

std::map<std::string, Blob> Blobs(const Section& s) {
  std::map<std::string, Blob> blobs;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const std::uint8_t l = s.labels[size_t(y) * size_t(s.Width()) + size_t(x)];
      if (l == 0) continue;
      Blob& b = blobs[s.structures[l - 1u].name];
      ++b.area;
      b.column += x;
      b.row += y;
    }
  }
  for (auto& [name, b] : blobs) b.column /= double(b.area), b.row /= double(b.area);
  return blobs;
}

class SeriesGeometry : public ::testing::Test {
 protected:
  test::TempTree tree_;
};

TEST_F(SeriesGeometry, StructuresLieWhereTheWorldPutsThemInEveryPlaneAndMatrix) {
  const Grid ras{{91, 91, 91}, {1, 1, 1}}, lps{{91, 91, 91}, {1, 1, 1}, true},
      anisotropic{{91, 61, 37}, {1, 1.5, 2.5}}, coarse{{46, 46, 46}, {2, 2, 2}, true};
  struct Scene {
    const char* name;
    Grid scan, labels;
    int version;
  };
  const Scene scenes[] = {{"ras", ras, ras, 1},
                          {"lps", lps, lps, 2},
                          {"anisotropic", anisotropic, anisotropic, 1},
                          {"coarse_labels", ras, coarse, 2}};
  const std::vector<LabelName> names = {{1, "Kugel", {}, false}, {2, "Würfel", {}, false}};
  std::map<std::string, std::vector<std::string>> bytes;  // scene -> encoded images and outlines
  for (const Scene& scene : scenes) {
    SCOPED_TRACE(scene.name);
    const fs::path scan = tree_.Root() / (std::string(scene.name) + "_scan.nii");
    const fs::path labels = tree_.Root() / (std::string(scene.name) + "_labels.nii.gz");
    WriteScene(scan, scene.scan, false, 1);
    WriteScene(labels, scene.labels, true, scene.version);
    const Volume scanVolume = ReadScene(scan), labelVolume = ReadScene(labels);
    EXPECT_EQ(scanVolume.orientation, "sform");
    // Each orientation through the sphere's centre: which image axis the world's axes run along,
    // with the sign of the direction (radiological display).
    struct Case {
      PlaneOrientation plane;
      int columnAxis, rowAxis;
    };
    for (const Case c :
         {Case{PlaneOrientation::kAxial, 0, 1}, Case{PlaneOrientation::kCoronal, 0, 2},
          Case{PlaneOrientation::kSagittal, 1, 2}}) {
      SeriesOptions o;
      o.name = "Test";
      o.plane = c.plane;
      o.positions = {kSphere[PlaneAxis(c.plane)], 500};  // the second misses the volume
      o.pixel = 1;
      std::ostringstream log;
      std::vector<SeriesPage> pages;
      std::string error;
      ASSERT_TRUE(CutSeries(scanVolume, labelVolume, names, o, log, pages, error)) << error;
      ASSERT_EQ(pages.size(), 1u);
      EXPECT_NE(log.str().find("+500 mm lies outside"), std::string::npos) << log.str();
      const Section& s = pages[0].section;
      EXPECT_EQ(s.Width() % 4, 0);
      const auto box = WorldBox(scanVolume);
      const std::map<std::string, Blob> blobs = Blobs(s);
      ASSERT_EQ(blobs.count("Kugel"), 1u);
      const Blob& sphere = blobs.at("Kugel");
      EXPECT_NEAR(double(sphere.area), M_PI * kRadius * kRadius, 0.05 * M_PI * kRadius * kRadius);
      // Column 0 lies at the largest world value of the column axis, row 0 at the largest of the
      // row axis: the patient's right on the left, anterior or the head at the top, anterior on
      // the left of a sagittal plane.
      EXPECT_NEAR(sphere.column, box[size_t(c.columnAxis)].second - kSphere[c.columnAxis], 1.0);
      EXPECT_NEAR(sphere.row, box[size_t(c.rowAxis)].second - kSphere[c.rowAxis], 1.0);
      EXPECT_EQ(pages[0].name, "Test " + FormatMillimetres(kSphere[PlaneAxis(c.plane)]) + " mm");
      std::string jpeg, outline;
      ASSERT_TRUE(EncodeJpeg(s.grey, 90, jpeg, error)) << error;
      ASSERT_TRUE(EncodeSectionOutline(s, pages[0].name, outline, error)) << error;
      bytes[scene.name].push_back(jpeg);
      bytes[scene.name].push_back(outline);
    }
  }
  EXPECT_TRUE(bytes["ras"] == bytes["lps"]);
}

TEST_F(SeriesGeometry, LabelMapsBesideTheScanAndSkewedMatricesAreRefused) {
  WriteScene(tree_.Root() / "scan.nii", {{21, 21, 21}, {1, 1, 1}}, false);
  const Volume scan = ReadScene(tree_.Root() / "scan.nii");
  Volume far = scan;
  far.toWorld.m[0][3] += 500;
  SeriesOptions o;
  o.name = "Test";
  o.positions = {0};
  std::ostringstream log;
  std::vector<SeriesPage> pages;
  std::string error;
  EXPECT_FALSE(CutSeries(scan, far, {}, o, log, pages, error));
  EXPECT_NE(error.find("does not overlap"), std::string::npos) << error;
  Affine sheared = scan.toWorld;
  sheared.m[0][1] = 0.3;
  EXPECT_FALSE(IsOrthogonal(sheared));
  Affine rotated{};
  rotated.m = {{{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 2, 0}}};
  EXPECT_TRUE(IsOrthogonal(rotated));
}

// Every pixel of every plane is what SampleLinear and SampleNearest give at its world point, in
// every orientation, for rotated volumes and for volumes whose axes are swapped and flipped (whose
// coordinates the cut works out per column and row), with a coarser, shifted label map that holds
// the awkward values: not finite, negative, no whole numbers, beyond 65535. Planes are cut a few
// at once; pages and messages still come in the order of the positions.
// A side job runs once, on its own thread or in Wait(), and Wait() throws what it threw.
TEST(SeriesCut, ASideJobRunsOnceAndPassesOnItsFailure) {
  for (bool ownThread : {true, false}) {
    SCOPED_TRACE(ownThread);
    int runs = 0;
    {
      SideJob job([&] { ++runs; }, ownThread);
      job.Wait();
      job.Wait();
    }
    EXPECT_EQ(runs, 1);
    SideJob failing([] { throw std::runtime_error("full"); }, ownThread);
    EXPECT_THROW(failing.Wait(), std::runtime_error);
    EXPECT_NO_THROW(failing.Wait());
  }
}

// The automatic window is the 0.5th to 99.5th percentile, by rank in the sorted sample, of the
// sampled voxels above a tenth of the way from the lowest to the 99th percentile.
TEST(SeriesCut, AutoWindowTakesThePercentilesOfTheSortedSample) {
  auto sorted = [](const Volume& scan) {
    const size_t stride = std::max<size_t>(1, scan.voxels.size() / 2000000);
    std::vector<float> sample;
    for (size_t i = 0; i < scan.voxels.size(); i += stride) {
      if (std::isfinite(scan.voxels[i])) sample.push_back(scan.voxels[i]);
    }
    std::sort(sample.begin(), sample.end());
    auto at = [](const std::vector<float>& v, double p) {
      return double(v[std::min(v.size() - 1, size_t(p * double(v.size() - 1)))]);
    };
    const double threshold = sample.front() + 0.1 * (at(sample, 0.99) - sample.front());
    std::vector<float> inside;
    for (float v : sample) {
      if (v > threshold) inside.push_back(v);
    }
    if (inside.empty()) inside = sample;
    return std::pair{at(inside, 0.005), at(inside, 0.995)};
  };
  struct Case {
    const char* what;
    size_t voxels;
    std::function<float(size_t)> value;
  };
  const Case cases[] = {
      {"a head: background and tissue", 4200000,
       [](size_t i) { return i % 7 < 3 ? 0.0f : float(300 + (i * 13) % 257); }},
      {"CT numbers below and above 0", 3000001,
       [](size_t i) { return float(int((i * 7919) % 4001) - 1024); }},
      {"fractions, NaN and infinities", 65537,
       [](size_t i) {
         return i % 11 == 0   ? NAN
                : i % 13 == 0 ? INFINITY
                : i % 17 == 0 ? -INFINITY
                              : float(std::sin(double(i)) * 1e-3);
       }},
      {"the threshold among equal values", 100000,
       [](size_t i) { return i % 10 == 0  ? 0.0f
                             : i % 10 < 9 ? 10.0f
                                          : 100.0f; }},
      {"one value", 1000, [](size_t) { return 42.5f; }},
      {"wide floats", 500000,
       [](size_t i) { return float(std::ldexp(1.0 + double(i % 97) / 97, int(i % 60) - 30)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Volume scan;
    scan.voxels.resize(c.voxels);
    for (size_t i = 0; i < c.voxels; ++i) scan.voxels[i] = c.value(i);
    const auto [low, high] = sorted(scan);
    const GreyWindow w = AutoWindow(scan);
    EXPECT_EQ(w.low, low);
    EXPECT_EQ(w.high, high > low ? high : low + 1);
  }
}

TEST(SeriesCut, EveryPixelIsTheSampleAtItsWorldPoint) {
  const double turn = 0.5, c = std::cos(turn), s = std::sin(turn);
  Affine rotatedScan, swappedScan, rotatedLabels, shiftedLabels;
  rotatedScan.m = {{{1.3 * c, -1.1 * s, 0, -12}, {1.3 * s, 1.1 * c, 0, -9}, {0, 0, 1.2, -10}}};
  swappedScan.m = {{{0, -1.1, 0, 9}, {1.3, 0, 0, -12}, {0, 0, -1.2, 10}}};
  rotatedLabels.m = {{{2.5 * c, 0, 2.5 * s, -14}, {0, 2.5, 0, -12.1}, {-2.5 * s, 0, 2.5 * c, -5}}};
  shiftedLabels.m = {{{2.5, 0, 0, -14.3}, {0, 2.5, 0, -12.1}, {0, 0, 2.5, -11.2}}};
  for (const auto& [scanMatrix, labelMatrix] :
       {std::pair{rotatedScan, shiftedLabels}, std::pair{swappedScan, rotatedLabels}}) {
    Volume scan, labels;
    scan.nx = 23, scan.ny = 19, scan.nz = 17;
    scan.toWorld = scanMatrix;
    for (int k = 0; k < scan.nz; ++k) {
      for (int j = 0; j < scan.ny; ++j) {
        for (int i = 0; i < scan.nx; ++i) {
          const int h = (i * 37 + j * 11 + k * 5) % 97;
          scan.voxels.push_back(h == 3 ? NAN : float(h * 3.7 - 40));
        }
      }
    }
    labels.nx = 12, labels.ny = 11, labels.nz = 9;
    labels.toWorld = labelMatrix;
    const float kValues[] = {0, 1, 2, 2.5f, 7, -3, NAN, 65535, 65536, 70001, 0, 1};
    for (size_t v = 0; v < size_t(labels.nx) * size_t(labels.ny) * size_t(labels.nz); ++v) {
      labels.voxels.push_back(kValues[(v * 7 + v / 13) % std::size(kValues)]);
    }
    Affine scanFromWorld, labelsFromWorld;
    ASSERT_TRUE(scan.toWorld.Inverse(scanFromWorld));
    ASSERT_TRUE(labels.toWorld.Inverse(labelsFromWorld));
    for (const PlaneOrientation plane :
         {PlaneOrientation::kAxial, PlaneOrientation::kCoronal, PlaneOrientation::kSagittal}) {
      SeriesOptions o;
      o.name = "Test";
      o.plane = plane;
      o.pixel = 0.7;
      o.window = std::pair{100.0, 260.0};
      o.positions = {-6.1, 300, 2.35, 0, -300, 4.5, 7.25, -1};
      std::ostringstream log;
      std::vector<SeriesPage> pages;
      std::string error;
      ASSERT_TRUE(CutSeries(scan, labels, {}, o, log, pages, error)) << error;
      ASSERT_EQ(pages.size(), 6u);
      EXPECT_LT(log.str().find("+300 mm lies outside"), log.str().find("-300 mm lies outside"));
      const PlaneFrame f = FrameOf(plane);
      const auto box = WorldBox(scan);
      for (const SeriesPage& page : pages) {
        SCOPED_TRACE(page.name);
        const Section& sec = page.section;
        std::map<long, int> numberOfValue;  // the structure number each label value became
        for (int r = 0; r < sec.Height(); ++r) {
          int firstBody = -1, lastBody = -1;
          for (int col = 0; col < sec.Width(); ++col) {
            std::array<double, 3> w{};
            w[size_t(f.axis)] = page.mm;
            w[size_t(f.column)] = box[size_t(f.column)].second - col * o.pixel;
            w[size_t(f.row)] = box[size_t(f.row)].second - r * o.pixel;
            float v = 0;
            const bool inside = SampleLinear(scan, scanFromWorld.Apply(w[0], w[1], w[2]), v);
            const double level = inside ? (v - (-30.0)) / (230.0 - (-30.0)) : 0;
            const auto grey = std::uint8_t(std::clamp(std::lround(level * 255), 0L, 255L));
            const long value =
                SampleNearest(labels, labelsFromWorld.Apply(w[0] + 1e-6, w[1] + 1e-6, w[2] + 1e-6));
            const size_t at = size_t(r) * size_t(sec.Width()) + size_t(col);
            ASSERT_EQ(sec.grey.pixels[at], grey) << "column " << col << ", row " << r;
            const int number = sec.labels[at];
            ASSERT_EQ(number != 0, value > 0) << "column " << col << ", row " << r;
            if (value > 0) {
              ASSERT_EQ(numberOfValue.emplace(value, number).first->second, number);
            }
            if (grey > 25 || value > 0) {
              if (firstBody < 0) firstBody = col;
              lastBody = col;
            }
          }
          for (int col = 0; col < sec.Width(); ++col) {
            ASSERT_EQ(sec.body[size_t(r) * size_t(sec.Width()) + size_t(col)],
                      col >= firstBody && col <= lastBody && firstBody >= 0 ? 1 : 0);
          }
        }
        std::set<int> numbers;  // one structure a value, each named after it
        for (const auto& [value, number] : numberOfValue) {
          numbers.insert(number);
          EXPECT_NE(sec.structures[size_t(number) - 1].name.find(std::to_string(value)),
                    std::string::npos);
        }
        EXPECT_EQ(numbers.size(), numberOfValue.size());
        EXPECT_EQ(sec.structures.size(), numberOfValue.size());
      }
    }
  }
}

// The command on a tree: files written by the test, the tree compared byte for byte.
class SeriesCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteScene(tree_.Root() / "scan.nii.gz", {{61, 61, 61}, {1.5, 1.5, 1.5}}, false);
    // The label map names its labels in its header extension, as TotalSegmentator's output does.
    WriteScene(
        tree_.Root() / "labels.nii.gz", {{61, 61, 61}, {1.5, 1.5, 1.5}}, true, 1,
        "<CaretExtension><VolumeInformation><LabelTable>"
        "<Label Key=\"1\" Red=\"1\" Green=\"0\" Blue=\"0\" Alpha=\"1\"><![CDATA[spleen]]></Label>"
        "<Label Key=\"2\" Red=\"0\" Green=\"0\" Blue=\"1\" Alpha=\"1\"><![CDATA[liver]]></Label>"
        "</LabelTable></VolumeInformation></CaretExtension>");
    tree_.Write("map.csv", "spleen;Milz (Splen)\nliver;Leber (Hepar)\n");
  }
  int Run(std::vector<std::string> extra, std::string* errors = nullptr,
          const std::string& tree = "atlas") {
    std::vector<std::string> args = {(tree_.Root() / tree).string(),
                                     "--image",
                                     (tree_.Root() / "scan.nii.gz").string(),
                                     "--labels",
                                     (tree_.Root() / "labels.nii.gz").string(),
                                     "--name",
                                     "Rumpf axial",
                                     "--plane",
                                     "axial",
                                     "--type",
                                     "ct",
                                     "--region",
                                     "rumpf",
                                     "--from",
                                     "40",
                                     "--to",
                                     "-10",
                                     "--step",
                                     "10",
                                     "--names",
                                     (tree_.Root() / "map.csv").string()};
    args = test::WithOptions(std::move(args), extra);
    std::ostringstream out, err;
    const int status = RunSeriesCommand(args, out, err);
    log_ = out.str() + err.str();
    if (errors != nullptr) *errors = err.str();
    return status;
  }
  std::map<std::string, std::string> Tree(const std::string& name = "atlas") {
    std::map<std::string, std::string> files;
    if (!fs::exists(tree_.Root() / name)) return files;
    if (!fs::is_directory(tree_.Root() / name))
      return {{name, *ReadFileBytes(tree_.Root() / name)}};
    for (const auto& e : fs::recursive_directory_iterator(tree_.Root() / name)) {
      if (e.is_regular_file()) {
        files[fs::relative(e.path(), tree_.Root() / name).string()] = *ReadFileBytes(e.path());
      }
    }
    return files;
  }
  std::string Lines(const std::string& list) { return Tree().at("Daten/" + list); }
  void Restore(const std::map<std::string, std::string>& files) {
    fs::remove_all(tree_.Root() / "atlas");
    for (const auto& [path, bytes] : files) tree_.Write("atlas/" + path, bytes);
  }

  test::TempTree tree_;
  std::string log_;
};

TEST_F(SeriesCommand, WritesACheckedTreeAgainAndAgainTheSameAndReplacesItsOwnPages) {
  ASSERT_EQ(Run({"--schema", ""}), 0) << log_;
  EXPECT_NE(log_.find("header extension"), std::string::npos) << log_;
  const auto first = Tree();
  EXPECT_NE(Lines("Index.LST")
                .find("Rumpf axial +40 mm # rumpf_axial_p040.txt #   # "
                      "rumpf_axial_p040.jpg #   # rumpf_axial_p040.jpg # "),
            std::string::npos);
  EXPECT_NE(Lines("Struktur.LST").find("Milz (Splen)"), std::string::npos);
  // The scan reaches from -45 to +45 mm: +40 mm lies 5.6 % below the pictogram's top.
  EXPECT_NE(Lines("SM_RUMPF.POS").find("Rumpf axial +40 mm # 6\r"), std::string::npos);
  ASSERT_EQ(Run({"--schema", ""}), 0) << log_;
  EXPECT_TRUE(Tree() == first);

  // Hand-written lines stay; another step replaces the series' pages and drops their files.
  tree_.Write("atlas/Daten/Index.LST",
              Lines("Index.LST") +
                  "/ mein Kommentar\r\n"
                  "Rumpf axial Notiz # start.txt # # # # # # # M # R # X\r\n");
  ASSERT_EQ(Run({"--step", "25", "--schema", ""}), 0) << log_;
  const std::string index = Lines("Index.LST");
  EXPECT_NE(index.find("/ mein Kommentar\r\nRumpf axial Notiz #"), std::string::npos);
  EXPECT_EQ(index.find("Rumpf axial +30 mm"), std::string::npos);
  EXPECT_NE(index.find("Rumpf axial +15 mm"), std::string::npos);
  EXPECT_EQ(Tree().count("Bilder/CT/rumpf_axial_p030.jpg"), 0u);
  EXPECT_EQ(Lines("Struktur.LST").find("Rumpf axial +30 mm"), std::string::npos);
  EXPECT_EQ(Lines("SM_RUMPF.POS").find("+30 mm"), std::string::npos);

  // A sagittal series on the same pictogram: its pages, but the plane list stays as it was;
  // coronal planes never go into one.
  const std::string planes = Lines("SM_RUMPF.POS");
  ASSERT_EQ(Run({"--name", "Rumpf sagittal", "--plane", "sagittal"}), 0) << log_;
  EXPECT_NE(log_.find("one orientation"), std::string::npos) << log_;
  ASSERT_EQ(Run({"--name", "Rumpf frontal", "--plane", "coronal"}), 0) << log_;
  EXPECT_EQ(Lines("SM_RUMPF.POS"), planes);
  EXPECT_NE(Lines("Index.LST").find("Rumpf frontal +10 mm"), std::string::npos);
  EXPECT_TRUE(CheckAtlasTree(tree_.Root() / "atlas").empty());
}

TEST_F(SeriesCommand, BadInputLeavesTheTreeUntouched) {
  ASSERT_EQ(Run({}), 0) << log_;
  tree_.Write("plain.txt", "not a volume");
  tree_.Write("empty_table.txt", "# nothing here\n0 Background\n");
  tree_.Write("a_file", "mine");
  struct Case {
    std::vector<std::string> args;
    const char* message;
    const char* tree;
  };
  const Case cases[] = {
      {{"--image", (tree_.Root() / "missing.nii").string()}, "cannot be read", "atlas"},
      {{"--labels", (tree_.Root() / "plain.txt").string()}, "no NIfTI", "atlas"},
      {{"--table", (tree_.Root() / "empty_table.txt").string()}, "names no label", "atlas"},
      {{"--from", "300", "--to", "400"}, "no plane lies in the scan", "atlas"},
      {{}, "is a file", "a_file"},
      {{"--plane", "schraeg"}, "--plane", "atlas"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const auto before = Tree(c.tree);
    std::string errors;
    EXPECT_NE(Run(c.args, &errors, c.tree), 0);
    EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
    EXPECT_TRUE(Tree(c.tree) == before);
  }
  // Labels outside the scan.
  Grid shifted{{21, 21, 21}, {1, 1, 1}};
  WriteScene(tree_.Root() / "shifted.nii", shifted, true);
  const auto before = Tree();
  Volume v = ReadScene(tree_.Root() / "shifted.nii");
  std::string errors;
  const fs::path moved = tree_.Root() / "moved.nii";
  {
    nifti_image* nim = nifti_image_read((tree_.Root() / "shifted.nii").c_str(), 1);
    ASSERT_NE(nim, nullptr);
    nim->sto_xyz.m[2][3] += 1000;
    nifti_set_filenames(nim, moved.c_str(), 0, 1);
    nifti_image_write(nim);
    nifti_image_free(nim);
  }
  EXPECT_NE(Run({"--labels", moved.string()}, &errors), 0);
  EXPECT_NE(errors.find("does not overlap"), std::string::npos) << errors;
  EXPECT_TRUE(Tree() == before);
}

// Every write step of a run, failing as a full disk makes it fail or stopping as a crash stops
// it, leaves the tree as it was (after the crash once the next run or the check has rolled back).
TEST_F(SeriesCommand, AFailureOrCrashAtAnyWriteStepLeavesTheTreeAsItWas) {
  const Volume scan = ReadScene(tree_.Root() / "scan.nii.gz");
  const Volume labels = ReadScene(tree_.Root() / "labels.nii.gz");
  auto cut = [&](bool schema, double step) {
    SeriesOptions o;
    o.tree = tree_.Root() / "atlas";
    o.name = "Rumpf axial";
    o.type = SeriesType::kCt;
    o.region = 'R';
    o.schema = schema;
    o.pixel = 4;  // small images: the loop below writes them several hundred times
    for (double mm = 40; mm >= -10; mm -= step) o.positions.push_back(mm);
    std::vector<SeriesPage> pages;
    std::ostringstream log;
    std::string error;
    EXPECT_TRUE(CutSeries(scan, labels, {}, o, log, pages, error)) << error;
    return std::pair{o, pages};
  };
  const auto [first, firstPages] = cut(true, 10);
  const auto [second, secondPages] = cut(false, 25);
  std::string error;
  std::ostringstream log;
  SetTransactionSyncForTesting(false);
  struct Scenario {
    const char* what;
    bool existing;  // the first series is in the tree already
  };
  for (const Scenario scenario :
       {Scenario{"a new tree", false}, Scenario{"a replaced series", true}}) {
    SCOPED_TRACE(scenario.what);
    fs::remove_all(tree_.Root() / "atlas");
    if (scenario.existing) {
      ASSERT_TRUE(WriteSeries(first, firstPages, log, error)) << error;
    }
    const auto before = Tree();
    const auto& [options, pages] =
        scenario.existing ? std::pair{second, secondPages} : std::pair{first, firstPages};
    int steps = 0;
    SetTransactionStepHookForTesting([&](int) {
      ++steps;
      return StepOutcome::kGo;
    });
    ASSERT_TRUE(WriteSeries(options, pages, log, error)) << error;
    SetTransactionStepHookForTesting({});
    ASSERT_GT(steps, 20);
    Restore(before);
    for (int at = 1; at <= steps; ++at) {
      for (const StepOutcome outcome : {StepOutcome::kFail, StepOutcome::kCrash}) {
        SCOPED_TRACE("step " + std::to_string(at) +
                     (outcome == StepOutcome::kFail ? " failing" : " stopping"));
        SetTransactionStepHookForTesting(
            [&](int step) { return step == at ? outcome : StepOutcome::kGo; });
        error.clear();
        EXPECT_FALSE(WriteSeries(options, pages, log, error));
        SetTransactionStepHookForTesting({});
        if (outcome == StepOutcome::kFail) {
          EXPECT_NE(error.find("cannot be written"), std::string::npos) << error;
        } else {
          std::ostringstream out, err;
          EXPECT_EQ(RunCheckCommand((tree_.Root() / "atlas").string(), out, err),
                    before.empty() ? 1 : 0)
              << err.str();
        }
        EXPECT_TRUE(Tree() == before);
      }
    }
  }
  SetTransactionSyncForTesting(true);
}

// Files reserved ahead take the first puts, however many of either there are; a reservation
// that is not committed is taken away with the transaction, and one begun on a tree an earlier
// run left half-changed rolls that run back first.
TEST(TreeTransactionReserve, ReservedFilesTakeThePutsAndAnUncommittedReservationLeavesNothing) {
  SetTransactionSyncForTesting(false);
  test::TempTree temp;
  const fs::path tree = temp.Root() / "baum";
  for (const size_t reserved : {0, 2, 3, 7}) {
    SCOPED_TRACE(reserved);
    fs::remove_all(tree);
    TreeTransaction tx(tree);
    tx.Reserve(reserved);
    tx.Put("Texte/a.txt", "eins");
    tx.Put("Texte/b.txt", "zwei");
    tx.Put("Daten/c.lst", "drei");
    std::string error;
    ASSERT_TRUE(tx.Commit(error)) << error;
    EXPECT_EQ(ReadFileBytes(tree / "Texte/a.txt"), "eins");
    EXPECT_EQ(ReadFileBytes(tree / "Texte/b.txt"), "zwei");
    EXPECT_EQ(ReadFileBytes(tree / "Daten/c.lst"), "drei");
    EXPECT_FALSE(fs::exists(tree / kStagingFolder));
  }
  {
    TreeTransaction tx(temp.Root() / "neu");
    tx.Reserve(5);
  }
  EXPECT_FALSE(fs::exists(temp.Root() / "neu")) << "a tree made for the reservation goes again";
  {
    TreeTransaction tx(tree);
    tx.Reserve(5);
  }
  EXPECT_TRUE(fs::exists(tree / "Texte/a.txt"));
  EXPECT_FALSE(fs::exists(tree / kStagingFolder));

  // A run stopped after its journal: the reservation rolls it back before it makes its files.
  SetTransactionStepHookForTesting(
      [](int step) { return step == 6 ? StepOutcome::kCrash : StepOutcome::kGo; });
  {
    TreeTransaction stopped(tree);
    stopped.Put("Texte/a.txt", "anders");
    stopped.Put("Texte/b.txt", "auch anders");
    std::string error;
    EXPECT_FALSE(stopped.Commit(error));
  }
  SetTransactionStepHookForTesting({});
  ASSERT_TRUE(fs::exists(tree / kStagingFolder / "journal"));
  TreeTransaction tx(tree);
  tx.Reserve(1);
  tx.Put("Daten/c.lst", "vier");
  std::string error;
  ASSERT_TRUE(tx.Commit(error)) << error;
  EXPECT_EQ(ReadFileBytes(tree / "Texte/a.txt"), "eins");
  EXPECT_EQ(ReadFileBytes(tree / "Texte/b.txt"), "zwei");
  EXPECT_EQ(ReadFileBytes(tree / "Daten/c.lst"), "vier");
  SetTransactionSyncForTesting(true);
}

// A run killed outright or told to stop (SIGTERM, SIGINT) in the middle of writing.
TEST_F(SeriesCommand, AKilledOrInterruptedRunLeavesTheTreeAsItWas) {
  ASSERT_EQ(Run({}), 0) << log_;
  const auto before = Tree();
  int steps = 0;
  SetTransactionStepHookForTesting([&](int) {
    ++steps;
    return StepOutcome::kGo;
  });
  ASSERT_EQ(Run({"--step", "25", "--schema", ""}), 0);
  SetTransactionStepHookForTesting({});
  ASSERT_FALSE(Tree() == before);
  Restore(before);
  for (const int signal : {SIGKILL, SIGTERM, SIGINT}) {
    for (const int at : {2, steps / 2, steps - 2}) {
      SCOPED_TRACE(std::string(strsignal(signal)) + " at step " + std::to_string(at));
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        SetTransactionStepHookForTesting([&](int step) {
          if (step == at) raise(signal);
          return StepOutcome::kGo;
        });
        _exit(Run({"--step", "25", "--schema", ""}));
      }
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      if (signal == SIGKILL) {
        ASSERT_TRUE(WIFSIGNALED(status));
        // Before the journal only the staging folder is there; after it the renames have begun.
        const bool begun = at > 2;
        const std::vector<std::string> problems = CheckAtlasTree(tree_.Root() / "atlas");
        ASSERT_FALSE(problems.empty());
        EXPECT_NE(problems.back().find(begun ? "stopped half-way" : "staging folder"),
                  std::string::npos)
            << problems.back();
        std::string error;
        std::ostringstream log;
        ASSERT_TRUE(RecoverTree(tree_.Root() / "atlas", log, error)) << error;
        EXPECT_NE(log.str().find(begun ? "rolled back" : "removed"), std::string::npos)
            << log.str();
      } else {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
      }
      EXPECT_TRUE(Tree() == before);
      EXPECT_TRUE(CheckAtlasTree(tree_.Root() / "atlas").empty());
    }
  }
}

// Series whose file names are another series' are refused before anything is written; removing
// a series takes exactly its pages, lines and files out again.
TEST_F(SeriesCommand, RefusesCollisionsAndRemovesASeriesAndNothingElse) {
  ASSERT_EQ(Run({"--schema", ""}), 0) << log_;
  const auto one = Tree();
  std::string errors;
  EXPECT_EQ(Run({"--name", "Rumpf-axial"}, &errors), 1);
  EXPECT_NE(errors.find("of the series \"Rumpf axial\""), std::string::npos) << errors;
  EXPECT_TRUE(Tree() == one);

  ASSERT_EQ(Run({"--name", "Rumpf quer", "--step", "20", "--schema", ""}), 0) << log_;
  ASSERT_EQ(Run({"--name", "Rumpf frontal", "--plane", "coronal"}), 0) << log_;
  std::ostringstream out, err;
  EXPECT_EQ(RunRemoveCommand({(tree_.Root() / "atlas").string(), "--name", "Rumpf Zahl"}, out, err),
            1);
  EXPECT_NE(err.str().find("no series \"Rumpf Zahl\"; its series are \"Rumpf axial\", "
                           "\"Rumpf frontal\", \"Rumpf quer\""),
            std::string::npos)
      << err.str();
  for (const char* name : {"Rumpf frontal", "Rumpf quer"}) {
    EXPECT_EQ(RunRemoveCommand({(tree_.Root() / "atlas").string(), "--name", name}, out, err), 0)
        << err.str();
  }
  EXPECT_TRUE(Tree() == one);
  // The start page of the tree links to the first page the tree got: the check says so.
  EXPECT_EQ(
      RunRemoveCommand({(tree_.Root() / "atlas").string(), "--name", "rumpf axial"}, out, err), 1);
  EXPECT_NE(err.str().find("start.txt line 2: page link to \"Rumpf axial -10 mm\""),
            std::string::npos)
      << err.str();
  const auto empty = Tree();
  EXPECT_EQ(empty.count("Daten/SM_RUMPF.POS"), 0u);
  EXPECT_EQ(std::count_if(empty.begin(), empty.end(),
                          [](const auto& f) { return f.first.find("rumpf") != std::string::npos; }),
            0);
  EXPECT_EQ(Lines("Index.LST").find("Rumpf"), std::string::npos);
}

// The check finds what a run stopped half-way, a stray file or a plane list against the
// pictogram's arrows would cost the atlas; the lists the command writes pass it.
TEST_F(SeriesCommand, CheckFindsHalfWrittenSeriesOrphansAndPlaneListsAgainstTheArrows) {
  ASSERT_EQ(Run({}), 0) << log_;
  const auto sound = Tree();
  // Planes run from the bottom of the pictogram up.
  std::vector<int> positions;
  std::istringstream pos(Lines("SM_RUMPF.POS"));
  for (std::string line; std::getline(pos, line);) {
    positions.push_back(std::stoi(line.substr(line.find('#') + 1)));
  }
  EXPECT_TRUE(std::is_sorted(positions.rbegin(), positions.rend())) << Lines("SM_RUMPF.POS");
  struct Case {
    const char* what;
    std::function<void()> damage;
    const char* message;
  };
  const Case cases[] = {
      {"an orphan", [&] { tree_.Write("atlas/Bilder/CT/rumpf_axial_p050.jpg", "x"); },
       "Bilder\\CT\\rumpf_axial_p050.jpg is an orphan"},
      {"lists written before the structure list",
       [&] { tree_.Write("atlas/Daten/Struktur.LST", "/ Strukturen\r\n"); },
       "series \"Rumpf axial\" is half-written: the structure list names none of the structures "
       "of 4 of its 6 pages"},
      {"a plane list without some planes",
       [&] {
         std::string p = Lines("SM_RUMPF.POS");
         tree_.Write("atlas/Daten/SM_RUMPF.POS", p.substr(0, p.rfind("Rumpf")));
       },
       "5 of its 6 pages are planes of a plane list"},
      {"planes from the top down",
       [&] {
         tree_.Write(
             "atlas/Daten/SM_RUMPF.POS",
             "Rumpf axial +40 mm # 6\r\nRumpf axial +30 mm # 17\r\nRumpf axial +20 mm # 28\r\n"
             "Rumpf axial +10 mm # 39\r\nRumpf axial 0 mm # 50\r\nRumpf axial -10 mm # 61\r\n");
       },
       "\"Rumpf axial +30 mm\" (at 17 %) follows \"Rumpf axial +40 mm\" (at 6 %), so the upper "
       "arrow moves down the pictogram"},
      {"planes from left to right",
       [&] {
         tree_.Write("atlas/Daten/SM_RUMPF.POS",
                     "VERTICAL\r\nRumpf axial -10 mm # 61\r\nRumpf axial +40 mm # 6\r\n"
                     "Rumpf axial +30 mm # 17\r\nRumpf axial +20 mm # 28\r\n"
                     "Rumpf axial +10 mm # 39\r\nRumpf axial 0 mm # 50\r\n");
       },
       "so the left arrow moves to the right"},
      {"a stale staging folder", [&] { tree_.MakeDir("atlas/.atlasbau/new"); },
       "the staging folder of an earlier run"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.damage();
    const std::vector<std::string> problems = CheckAtlasTree(tree_.Root() / "atlas");
    ASSERT_EQ(problems.size(), 1u)
        << (problems.empty() ? "" : problems[0] + "\n" + problems.back());
    EXPECT_NE(problems[0].find(c.message), std::string::npos) << problems[0];
    for (const auto& [path, bytes] : sound) tree_.Write("atlas/" + path, bytes);
    fs::remove(tree_.Root() / "atlas/Bilder/CT/rumpf_axial_p050.jpg");
    fs::remove_all(tree_.Root() / "atlas/.atlasbau");
  }
}

}  // namespace
}  // namespace ostrelin
