// The planes of the demo atlas before they become files: the schematic drawing, the outline file
// made from the label pixels, and the geometry and levels of the phantom series.
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "authoring/core/section.h"
#include "platform/core/strings.h"
#include "structures/core/outline_file.h"
#include "tools/demo_atlas/phantoms.h"

namespace ostrelin {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = AsciiUpper(c);
  return s;
}

// A small section: two rows outside the body, then a body with two structures side by side.
Section TwoStructures() {
  Section s;
  s.grey = Raster(6, 5, 1, 50);
  s.structures = {{"Links", {200, 0, 0}, BrainRegion::kOther},
                  {"Rechts", {0, 0, 200}, BrainRegion::kOther}};
  s.labels = {0, 0, 0, 0, 0, 0,  //
              0, 0, 0, 0, 0, 0,  //
              0, 1, 1, 2, 2, 0,  //
              0, 1, 1, 2, 2, 0,  //
              0, 0, 0, 0, 0, 0};
  s.body = {0, 0, 0, 0, 0, 0,  //
            0, 0, 0, 0, 0, 0,  //
            1, 1, 1, 1, 1, 1,  //
            1, 1, 1, 1, 1, 1,  //
            1, 1, 1, 1, 1, 1};
  return s;
}

Rgb PixelAt(const Raster& r, int x, int y) {
  const std::uint8_t* p = r.At(x, y);
  return {p[0], p[1], p[2]};
}

TEST(DemoSection, SchemaPaintsFlatColoursABodyAndLinesWhereStructuresMeet) {
  const Section s = TwoStructures();
  const Raster schema = DrawSchema(s);
  ASSERT_EQ(schema.width, 6);
  ASSERT_EQ(schema.height, 5);
  ASSERT_EQ(schema.channels, 3);
  const Rgb line{70, 70, 80};
  EXPECT_EQ(PixelAt(schema, 0, 0), (Rgb{255, 255, 255}));  // outside the body
  EXPECT_EQ(PixelAt(schema, 1, 1), line);                  // the body's edge below it
  EXPECT_EQ(PixelAt(schema, 1, 2), (Rgb{200, 0, 0}));      // inside "Links"
  EXPECT_EQ(PixelAt(schema, 2, 2), line);                  // "Links" meets "Rechts"
  EXPECT_EQ(PixelAt(schema, 3, 2), (Rgb{0, 0, 200}));
  EXPECT_EQ(PixelAt(schema, 5, 4), (Rgb{246, 226, 206}));  // body without structure
}

TEST(DemoSection, OutlineHoldsExactlyTheLabelPixelsCountingRowsFromTheBottom) {
  Section s = TwoStructures();
  s.labels[5] = 2;  // one pixel of "Rechts" in the top row, at the right edge
  std::string bytes, error;
  ASSERT_TRUE(EncodeSectionOutline(s, "Titel", bytes, error)) << error;
  const OutlineFile file = DecodeOutline(bytes);
  EXPECT_EQ(file.title, "Titel");
  ASSERT_EQ(file.records.size(), 2u);
  for (size_t k = 0; k < 2; ++k) {
    const OutlineRecord& r = file.records[k];
    EXPECT_EQ(r.name, s.structures[k].name);
    std::set<std::pair<int, int>> fromFile, fromLabels;
    for (size_t c = 0; c < r.columns.size(); ++c) {
      for (const OutlineRun& run : r.columns[c]) {
        for (int row = run.start; row <= run.end; ++row) fromFile.insert({r.first + int(c), row});
      }
    }
    for (int y = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x) {
        if (s.labels[size_t(y * s.Width() + x)] == k + 1) {
          fromLabels.insert({x, s.Height() - 1 - y});
        }
      }
    }
    EXPECT_EQ(fromFile, fromLabels) << r.name;
  }
  EXPECT_TRUE(file.records[1].columns.back().back() == (OutlineRun{4, 4}));  // top row is row 4
}

TEST(DemoSection, TinyStructuresAreDroppedAndTheOthersKeepTheirOrder) {
  Section s = TwoStructures();
  s.structures.insert(s.structures.begin(), {"Winzig", {1, 2, 3}, BrainRegion::kOther});
  for (std::uint8_t& l : s.labels) l = l == 0 ? 0 : std::uint8_t(l + 1);
  s.labels[0] = 1;
  DropTinyStructures(s, 2);
  ASSERT_EQ(s.structures.size(), 2u);
  EXPECT_EQ(s.structures[0].name, "Links");
  EXPECT_EQ(s.labels[0], 0);
  EXPECT_EQ(s.labels[13], 1);
  EXPECT_EQ(s.labels[15], 2);
  EXPECT_EQ(s.PixelCounts(), (std::vector<size_t>{4, 4}));
}

// The pictogram landmarks the phantom planes must respect: the range (percent of the pictogram
// height from the top) in which a plane showing the organ may lie.
struct Landmark {
  const char* pictogram;
  const char* structure;
  int from, to;
};
constexpr Landmark kLandmarks[] = {
    {"SM_AUSW", "Herz", 27, 33},         {"SM_AUSW", "Leber", 33, 40},
    {"SM_AUSW", "Femur rechts", 51, 72}, {"SM_RUMPF", "Arcus aortae", 11, 28},
    {"SM_RUMPF", "Herz", 24, 40},        {"SM_RUMPF", "Leber", 40, 56},
    {"SM_RUMPF", "Niere links", 48, 60}, {"SM_RUMPF", "Caput femoris links", 72, 84},
    {"SF_RUMPF", "Mamma links", 24, 36}, {"SF_RUMPF", "Leber", 40, 56},
    {"SF_RUMPF", "Uterus", 64, 86},      {"SM_ARM", "Humerus", 4, 45},
    {"SM_ARM", "Radius", 45, 82},        {"SM_BEIN", "Femur", 5, 50},
    {"SM_BEIN", "Tibia", 50, 90},
};

TEST(DemoPhantoms, EveryPlaneIsSoundAndLiesOnItsLevel) {
  const std::vector<PhantomPlane> planes = PhantomPlanes(false);
  std::set<std::string> pages, stems;
  std::map<std::string, int> lastPosition;
  for (const PhantomPlane& plane : planes) {
    SCOPED_TRACE(plane.fileStem);
    EXPECT_TRUE(pages.insert(Upper(plane.pageName)).second);
    EXPECT_TRUE(stems.insert(plane.fileStem).second);
    // Each series runs from the top of its pictogram down: the texts link "Schnitt darüber" to
    // the plane before.
    auto last = lastPosition.find(plane.pictogram);
    if (last != lastPosition.end()) {
      EXPECT_GT(plane.position, last->second);
    }
    lastPosition[plane.pictogram] = plane.position;

    const Section s = CutPhantom(plane, 160);
    ASSERT_GT(s.Width(), 0);
    EXPECT_EQ(s.Width() % 4, 0) << "the atlas cuts images to a multiple of 4 columns";
    std::set<std::string> names;
    for (const SectionStructure& st : s.structures) {
      EXPECT_TRUE(names.insert(Upper(st.name)).second) << st.name << " twice";
    }
    EXPECT_TRUE(names.count(Upper(plane.defaultStructure))) << plane.defaultStructure;
    for (size_t n : s.PixelCounts()) EXPECT_GT(n, 0u);
    for (const Landmark& l : kLandmarks) {
      if (plane.pictogram == l.pictogram && names.count(Upper(l.structure)) != 0) {
        EXPECT_GE(plane.position, l.from) << l.structure;
        EXPECT_LE(plane.position, l.to) << l.structure;
      }
    }
    // Structures lie inside the body: none reaches the outside of the skin, except the breasts,
    // which form the body's surface.
    std::set<std::string> outside;
    for (int y = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x) {
        const std::uint8_t l = s.labels[size_t(y * s.Width() + x)];
        if (l == 0 || s.structures[l - 1u].name.starts_with("Mamma")) continue;
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= s.Width() || ny >= s.Height() ||
              s.body[size_t(ny * s.Width() + nx)] == 0) {
            outside.insert(s.structures[l - 1u].name);
          }
        }
      }
    }
    for (const std::string& name : outside) ADD_FAILURE() << name << " reaches out of the body";
  }
  // The reduced series keeps one plane of every pictogram.
  std::set<std::string> reduced;
  for (const PhantomPlane& plane : PhantomPlanes(true)) {
    EXPECT_TRUE(reduced.insert(plane.pictogram).second) << plane.pictogram;
  }
  EXPECT_EQ(reduced.size(), lastPosition.size());
}

}  // namespace
}  // namespace ostrelin
