// The demo atlas builder: its NIfTI reader, a reduced tree built from a small synthetic head (and
// from the real head data when the templates are installed), determinism, and the tree checker.
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "authoring/core/atlas_check.h"
#include "authoring/core/media.h"
#include "authoring/core/nifti.h"
#include "authoring/core/section.h"
#include "image/core/jpeg_decoder.h"
#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "structures/core/outline_file.h"
#include "tests/support/hostile_tree.h"
#include "tests/support/reduced_demo.h"
#include "tests/support/temp_tree.h"
#include "tools/demo_atlas/atlas_builder.h"
#include "tools/demo_atlas/head_series.h"

namespace ostrelin {
namespace {

namespace fs = std::filesystem;

template <class T>
void Put(std::string& h, size_t at, T v) {
  std::memcpy(h.data() + at, &v, sizeof v);
}

// A single-file NIfTI-1 volume of 16-bit voxels, axis-aligned in the sform with `spacing` mm and
// the origin at `origin`.
std::string MakeNifti(int nx, int ny, int nz, const std::vector<std::int16_t>& voxels,
                      double spacing, std::array<double, 3> origin, float slope = 1) {
  std::string h(352, '\0');
  Put<std::int32_t>(h, 0, 348);
  const std::int16_t dim[8] = {3, std::int16_t(nx), std::int16_t(ny), std::int16_t(nz), 1, 1, 1, 1};
  for (int i = 0; i < 8; ++i) Put(h, 40 + 2 * size_t(i), dim[i]);
  Put<std::int16_t>(h, 70, 4);
  Put<std::int16_t>(h, 72, 16);
  for (int i = 1; i <= 3; ++i) Put(h, 76 + 4 * size_t(i), float(spacing));
  Put<float>(h, 108, 352);
  Put<float>(h, 112, slope);
  Put<std::int16_t>(h, 254, 1);
  for (int r = 0; r < 3; ++r) {
    Put(h, 280 + 16 * size_t(r) + 4 * size_t(r), float(spacing));
    Put(h, 280 + 16 * size_t(r) + 12, float(origin[size_t(r)]));
  }
  std::memcpy(h.data() + 344, "n+1", 4);
  for (std::int16_t v : voxels) h.append(reinterpret_cast<const char*>(&v), 2);
  return h;
}

std::string Gzip(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, uLong(data.size())) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = uInt(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TEST(DemoNifti, ReadsGzipVoxelsScalingAndOrientation) {
  std::vector<std::int16_t> voxels(2 * 3 * 4);
  for (size_t i = 0; i < voxels.size(); ++i) voxels[i] = std::int16_t(i);
  const std::string file = Gzip(MakeNifti(2, 3, 4, voxels, 2.0, {-10, 20, 30}, 0.5f));
  Volume v;
  std::string error;
  ASSERT_TRUE(ReadNifti(file, v, error)) << error;
  EXPECT_EQ(v.nx, 2);
  EXPECT_EQ(v.nz, 4);
  EXPECT_FLOAT_EQ(v.At(1, 2, 3), 23 * 0.5f);  // i fastest, then j, then k
  const auto w = v.toWorld.Apply(1, 2, 3);
  EXPECT_DOUBLE_EQ(w[0], -8);
  EXPECT_DOUBLE_EQ(w[1], 24);
  EXPECT_DOUBLE_EQ(w[2], 36);
  Affine back;
  ASSERT_TRUE(v.toWorld.Inverse(back));
  EXPECT_NEAR(back.Apply(-8, 24, 36)[2], 3, 1e-9);
}

TEST(DemoNifti, RefusesDamagedFilesWithAReason) {
  const std::string good = MakeNifti(2, 2, 2, std::vector<std::int16_t>(8, 1), 1, {0, 0, 0});
  Volume v;
  std::string error;
  EXPECT_FALSE(ReadNifti(good.substr(0, good.size() - 1), v, error));
  EXPECT_NE(error.find("ends before its voxels"), std::string::npos) << error;
  std::string noMagic = good;
  noMagic[344] = 'x';
  EXPECT_FALSE(ReadNifti(noMagic, v, error));
  EXPECT_FALSE(ReadNifti(good.substr(0, 100), v, error));
  const std::string zipped = Gzip(good);
  EXPECT_FALSE(ReadNifti(zipped.substr(0, zipped.size() / 2), v, error));
  EXPECT_NE(error.find("gzip"), std::string::npos) << error;
  // A 4-D file gives its first volume.
  std::string series = good;
  Put<std::int16_t>(series, 40, 4);
  Put<std::int16_t>(series, 48, 5);
  EXPECT_TRUE(ReadNifti(series, v, error)) << error;
  EXPECT_EQ(v.volumes, 5);
  EXPECT_EQ(v.voxels.size(), 8u);
  std::string type = good;
  Put<std::int16_t>(type, 70, 1);  // single bits
  EXPECT_FALSE(ReadNifti(type, v, error));
}

// A synthetic head in the world frame of the real templates: an ellipsoid of tissue, its front
// labelled as a frontal gyrus, the rest of its left and right halves as the two precentral gyri,
// a central core with a label the name table does not know.
void WriteSyntheticTemplates(const fs::path& dir) {
  fs::create_directories(dir);
  const int n = 40;
  const double spacing = 4.0;
  const std::array<double, 3> origin = {-78, -78, -70};
  std::vector<std::int16_t> t1(size_t(n * n * n)), labels(size_t(n * n * n));
  for (int k = 0; k < n; ++k) {
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        const double x = origin[0] + i * spacing, y = origin[1] + j * spacing,
                     z = origin[2] + k * spacing;
        const double r = (x * x) / (60 * 60) + (y * y) / (70 * 70) + (z * z) / (70 * 70);
        const size_t at = size_t((k * n + j) * n + i);
        if (r <= 1) {
          t1[at] = std::int16_t(100 + (i * 7 + j * 3) % 50);
          labels[at] = r < 0.1 ? 3 : y > 40 ? 4 : x < 0 ? 1 : 2;  // x grows to the right
        }
      }
    }
  }
  std::ofstream(dir / "ch2better.nii.gz", std::ios::binary)
      << Gzip(MakeNifti(n, n, n, t1, spacing, origin));
  std::ofstream(dir / "aal.nii.gz", std::ios::binary)
      << Gzip(MakeNifti(n, n, n, labels, spacing, origin));
  std::ofstream(dir / "aal.nii.txt")
      << "1 Precentral_L 2001\n2 Precentral_R 2002\n3 Mystery_Core 9\n4 Rectus 7\n";
}

std::map<std::string, std::string> TreeBytes(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) {
      files[fs::relative(e.path(), root).string()] = *ReadFileBytes(e.path());
    }
  }
  return files;
}

class DemoAtlasTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSyntheticTemplates(tree_.Root() / "templates"); }

  bool Build(const fs::path& out, std::string& error) {
    DemoAtlasOptions options;
    options.templates = tree_.Root() / "templates";
    options.output = out;
    options.reduced = true;
    options.headHeight = 120;
    options.phantomHeight = 100;
    std::ostringstream log;
    return BuildDemoAtlas(options, log, error);
  }

  test::TempTree tree_;
};

// A label file whose header was flipped without its voxels names its sides wrongly; the side-named
// labels' positions decide, and a file that agrees with its matrix keeps its names.
// The head's label lists are read by the table reader: either encoding, comments, CR LF; the
// first word after the value is the label, and a later line of a value wins.
TEST(DemoHeadSources, LabelListsInEitherEncodingKeepTheirLetters) {
  std::vector<std::string> warnings;
  const std::vector<AnatomicalName> names = ParseLabelNames(
      "# AAL\r\n1 Precentral_L 2001\r\n/ 2 Comment\r\n3 Gro\xDF"
      "hirn_R 7\r\n1 Insula_R 9\r\n",
      warnings);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[1].name, "Insula rechts");
  EXPECT_TRUE(names[1].known);
  EXPECT_TRUE(names[2].name.empty());
  EXPECT_EQ(names[3].name,
            "Gro\xDF"
            "hirn R");  // Windows-1252, not "Gro?hirn R"
  EXPECT_FALSE(names[3].known);
  EXPECT_EQ(warnings, (std::vector<std::string>{"no anatomical name for label Gro\xC3\x9F"
                                                "hirn_R"}));
}

TEST(DemoHeadSources, SideNamesFollowWhereTheLabelsLie) {
  for (const bool mirrored : {false, true}) {
    LabelAtlas atlas;
    atlas.volume.nx = 8, atlas.volume.ny = 1, atlas.volume.nz = 1;
    // Columns 0..7 at world x = -35 .. +35 (or the other way round).
    atlas.volume.toWorld.m = {
        {{mirrored ? -10.0 : 10.0, 0, 0, mirrored ? 35.0 : -35.0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
    // Label 1 on the left half of the columns, 2 on the right, 3 across the middle.
    atlas.volume.voxels = {1, 1, 1, 3, 3, 2, 2, 2};
    atlas.names = {{},
                   {"Gyrus links", BrainRegion::kOther, true},
                   {"Gyrus rechts", BrainRegion::kOther, true},
                   {"Pons", BrainRegion::kOther, true}};
    EXPECT_EQ(SwapMirroredSides(atlas), mirrored);
    EXPECT_EQ(atlas.names[1].name, mirrored ? "Gyrus rechts" : "Gyrus links");
    EXPECT_EQ(atlas.names[2].name, mirrored ? "Gyrus links" : "Gyrus rechts");
    EXPECT_EQ(atlas.names[3].name, "Pons");
  }
}

TEST_F(DemoAtlasTest, ReducedTreeFromASyntheticHeadIsCompleteAndDeterministic) {
  std::string error;
  const fs::path a = tree_.Root() / "a", b = tree_.Root() / "b";
  ASSERT_TRUE(Build(a, error)) << error;
  const std::vector<std::string> problems = CheckAtlasTree(a);
  EXPECT_TRUE(problems.empty()) << problems.front();

  // The head planes lie at their true heights: the highest slice with tissue is at +66 mm, the
  // vertex of the head 10 mm of skull and scalp above, so the top plane (+50 mm) sits
  // 26 mm / 4.18 mm per percent below the 5 % of the vertex. The list runs from the bottom up,
  // as the panel's upper arrow steps, and so do the texts' neighbour links.
  const std::string pos = *ReadFileBytes(a / "Daten" / "SM_KOPF.POS");
  EXPECT_EQ(pos.substr(pos.rfind("Kopf axial")), "Kopf axial +50 mm # 11\r\n");
  EXPECT_LT(pos.find("Kopf axial -"), pos.find("Kopf axial +50 mm"));
  for (const char* pictogram : {"SM_KOPF", "SM_RUMPF", "SM_AUSW"}) {
    const std::string list = *ReadFileBytes(a / "Daten" / (std::string(pictogram) + ".POS"));
    int last = 101;
    for (size_t at = list.find(" # "); at != std::string::npos; at = list.find(" # ", at + 1)) {
      const int position = std::atoi(list.c_str() + at + 3);
      EXPECT_LE(position, last) << pictogram << "\n" << list;
      last = position;
    }
  }
  const std::string top = *ReadFileBytes(a / "Texte" / "MRT" / "kopf_p050.txt");
  EXPECT_NE(top.find("Schnitt darunter{Kopf axial"), std::string::npos) << top;
  EXPECT_EQ(top.find("Schnitt dar\xFC"
                     "ber{"),
            std::string::npos)
      << top;
  // The texts use every kind of markup.
  std::string texts;
  for (const auto& e : fs::recursive_directory_iterator(a / "Texte")) {
    if (e.is_regular_file()) texts += *ReadFileBytes(e.path());
  }
  for (const char* code : {"#/H:", "#/B:", "#/L:", "#/P:", "#/M:"}) {
    EXPECT_NE(texts.find(code), std::string::npos) << code;
  }
  const std::string structures = *ReadFileBytes(a / "Daten" / "Struktur.LST");
  EXPECT_NE(structures.find("Gyrus praecentralis links"), std::string::npos);
  EXPECT_NE(structures.find("Mystery Core"), std::string::npos);  // unknown label kept, readable

  ASSERT_TRUE(Build(b, error)) << error;
  EXPECT_TRUE(TreeBytes(a) == TreeBytes(b));
  // Building again into an earlier demo tree replaces it.
  ASSERT_TRUE(Build(a, error)) << error;
  EXPECT_TRUE(TreeBytes(a) == TreeBytes(b));
}

TEST_F(DemoAtlasTest, HeadPlanesShowTheRightSideOnTheLeftAndTheFrontAtTheTop) {
  HeadSources head;
  std::string error;
  ASSERT_TRUE(LoadHeadSources(tree_.Root() / "templates", head, error)) << error;
  const Section s = CutHeadAxial(head, 0, 120);
  EXPECT_EQ(s.Height(), 120);
  EXPECT_EQ(s.Width() % 4, 0);
  std::map<std::string, std::pair<int, int>> columns, rows;  // name -> (min, max)
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const std::uint8_t l = s.labels[size_t(y * s.Width() + x)];
      if (l == 0) continue;
      const std::string& name = s.structures[l - 1u].name;
      auto [c, fresh] = columns.try_emplace(name, x, x);
      c->second = {std::min(c->second.first, x), std::max(c->second.second, x)};
      auto [r, freshRow] = rows.try_emplace(name, y, y);
      r->second = {std::min(r->second.first, y), std::max(r->second.second, y)};
    }
  }
  const std::string left = "Gyrus praecentralis links", right = "Gyrus praecentralis rechts";
  ASSERT_TRUE(columns.count(left) && columns.count(right) && rows.count("Gyrus rectus"));
  // Seen from below: the body's right on the image's left, the front at the top.
  EXPECT_LT(columns[right].second, columns[left].first);
  EXPECT_LT(rows["Gyrus rectus"].second, rows[left].second);
  EXPECT_LT(rows["Gyrus rectus"].second, s.Height() / 2);

  // The image as the atlas decodes it has the size the outline file counts in, and the outline's
  // rows count from the bottom: the front lies in the high rows.
  std::string jpeg, outline;
  ASSERT_TRUE(EncodeJpeg(s.grey, 90, jpeg, error)) << error;
  SourceImage decoded;
  ScriptedMessageService messages;
  ASSERT_TRUE(DecodeJpeg({reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size()}, decoded,
                         messages));
  EXPECT_EQ(decoded.width, s.Width());
  EXPECT_EQ(decoded.height, s.Height());
  ASSERT_TRUE(EncodeSectionOutline(s, "MRT", outline, error)) << error;
  for (const OutlineRecord& r : DecodeOutline(outline).records) {
    EXPECT_LT(r.last, decoded.width) << r.name;
    if (r.name != "Gyrus rectus") continue;
    for (const auto& column : r.columns) {
      for (const OutlineRun& run : column) EXPECT_GT(run.start, s.Height() / 2);
    }
  }
}

TEST_F(DemoAtlasTest, RefusesAFolderWithForeignFilesAndMissingTemplates) {
  std::string error;
  tree_.Write("foreign/notes.txt", "mine");
  EXPECT_FALSE(Build(tree_.Root() / "foreign", error));
  EXPECT_NE(error.find("notes.txt"), std::string::npos) << error;
  EXPECT_EQ(*ReadFileBytes(tree_.Root() / "foreign" / "notes.txt"), "mine");
  fs::remove(tree_.Root() / "templates" / "aal.nii.gz");
  EXPECT_FALSE(Build(tree_.Root() / "fresh", error));
  EXPECT_NE(error.find("aal.nii.gz"), std::string::npos) << error;
}

TEST_F(DemoAtlasTest, CheckerReportsBrokenReferences) {
  std::string error;
  const fs::path a = tree_.Root() / "a";
  ASSERT_TRUE(Build(a, error)) << error;
  fs::remove(a / "Bilder" / "CT" / "rm_thorax2.jpg");
  fs::remove(a / "Texte" / "Schema" / "arm_ober.txt");
  std::ofstream(a / "Daten" / "Struktur.LST", std::ios::app)
      << "Herz # Nirgendwo # C\r\nLeber # Rumpf quer Herz # C\r\n";
  std::ofstream(a / "Daten" / "SM_ARM.POS", std::ios::app)
      << "Ellbogen # 45\r\nArm quer Oberarm # 101\r\n";
  std::ofstream(a / "Daten" / "Index.LST", std::ios::app)
      << "Arm quer Oberarm # x.txt ## C # M # A # Arm quer Oberarm\r\n"
      << "ARM QUER OBERARM # x.txt # # # # # # C # M # A # Arm quer Oberarm\r\n";
  fs::remove(a / "Texte" / "CT" / "hilfe.txt");
  std::ofstream(a / "Texte" / "CT" / "rm_thorax2.txt", std::ios::app)
      << "#/L:Niemand#, #/P:Milz#, #/M:fehlt.avi#, #/L:Zum MR-Bild{Rumpf quer Herz (MR)}#\r\n";
  std::ofstream(a / "Daten" / "SYNONYMS.LST", std::ios::app)
      << "Gro\xDF # Xylophon\r\nLUNGE # Herz\r\n";
  const std::vector<std::string> problems = CheckAtlasTree(a);
  const std::vector<std::string> expected = {
      "image Bilder\\CT\\rm_thorax2.jpg is missing",
      "text Texte\\Schema\\arm_ober.txt is missing",
      "\"Herz\" on \"Nirgendwo\", no such page",
      "\"Leber\" is not outlined on the CT image",
      "plane \"Ellbogen\" is no page",
      "\"Ellbogen\" (at 45 %) follows \"Arm quer Oberarm\" (at 25 %), so the upper arrow moves "
      "down",
      "\"101\", not a percentage",
      "\"Arm quer Oberarm\" has 6 fields instead of 11",
      "page \"ARM QUER OBERARM\" is listed twice",
      "text Texte\\CT\\hilfe.txt is missing",
      "page link to \"Niemand\"",
      // A tagged link is followed as the atlas follows it: this page has no MR image.
      "page link to \"Rumpf quer Herz (MR)\", which opens \"Rumpf quer Herz\" as MR image, and "
      "the page has none",
      "structure link to \"Milz\"",
      "media link to \"fehlt.avi\"",
      "\"Xylophon\" begins no name",
      "\"LUNGE\" begins the name",
  };
  for (const std::string& e : expected) {
    bool found = false;
    for (const std::string& p : problems) found = found || p.find(e) != std::string::npos;
    EXPECT_TRUE(found) << "not reported: " << e;
  }
  EXPECT_EQ(problems.size(), expected.size());
}

TEST(DemoAtlasChecker, ReadsATreeDamagedEveryWayAndNamesWhatIsWrong) {
  test::TempTree tree;
  const test::HostileTree hostile = test::WriteHostileTree(tree);
  const std::vector<std::string> problems = CheckAtlasTree(tree.Root());
  std::string all;
  for (const std::string& p : problems) all += p + "\n";
  // Among them the list line without any field, which once ended the checker.
  EXPECT_NE(all.find("a line without fields is ignored"), std::string::npos) << all;
  EXPECT_NE(all.find("which is no page or structure"), std::string::npos) << all;
}

TEST(DemoAtlasRealData, ReducedTreeFromTheInstalledTemplatesChecksClean) {
  if (!test::HaveInstalledTemplates()) GTEST_SKIP() << "mricron-data is not installed";
  test::TempTree tree;
  const fs::path output = tree.Root() / "atlas";
  std::string error;
  ASSERT_TRUE(test::BuildReducedDemo(output, 200, error)) << error;
  const std::vector<std::string> problems = CheckAtlasTree(output);
  EXPECT_TRUE(problems.empty()) << problems.front();
  const std::string structures = *ReadFileBytes(output / "Daten" / "Struktur.LST");
  EXPECT_NE(structures.find("Thalamus links"), std::string::npos);
  EXPECT_NE(structures.find("Corpus callosum"), std::string::npos);
}

TEST(DemoMedia, ChimeAndVideoAreWellFormed) {
  const std::string wave = SynthesiseChime();
  EXPECT_EQ(wave.substr(0, 4), "RIFF");
  EXPECT_EQ(wave.size(), 44u + 2u * size_t(1.4 * 22050));
  std::vector<Raster> frames(3, Raster(16, 8, 1, 128));
  std::string avi, error;
  ASSERT_TRUE(EncodeMjpegAvi(frames, 10, 80, avi, error)) << error;
  std::uint32_t riffSize;
  std::memcpy(&riffSize, avi.data() + 4, 4);
  EXPECT_EQ(riffSize + 8, avi.size());
  EXPECT_EQ(avi.find("idx1") + 8 + 3 * 16, avi.size());
  frames.push_back(Raster(8, 8, 1));
  EXPECT_FALSE(EncodeMjpegAvi(frames, 10, 80, avi, error));
}

}  // namespace
}  // namespace ostrelin
