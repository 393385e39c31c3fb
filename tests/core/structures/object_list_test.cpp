// The object list: reading an image's outline file, hit testing, lookup, centring, painting and
// the out-of-memory paths.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/scripted_message_service.h"
#include "structures/core/object_list.h"
#include "tests/support/outline_testing.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::RawOutline;
using test::RecordingPlotter;
using Points = std::set<std::pair<int, int>>;

std::vector<int> Hits(const HitList& hits) { return std::vector<int>(hits.begin(), hits.end()); }

class ObjectListTest : public ::testing::Test {
 protected:
  Objektliste Load(const std::string& bytes,
                   std::pmr::memory_resource* memory = std::pmr::get_default_resource()) {
    return Objektliste(plotter, OutlineBytes{bytes}, messages, memory);
  }

  RecordingPlotter plotter;
  ScriptedMessageService messages;
};

// Three structures over the same pixel (column 5, row 10), one without outline between them.
std::string Overlapping() {
  return RawOutline()
      .Title("Becken")
      .Int16(4)
      .Head(11, "  Harnblase\t", 4, 6)
      .Column({{0, 3}})
      .Column({{8, 10}, {20, 30}})
      .Column({})
      .Head(12, "Uterus", -1, -1)
      .Head(13, "Rektum", 5, 5)
      .Column({{10, 12}})
      .Head(14, "Becken", 0, 9)
      .Column({})
      .Column({})
      .Column({})
      .Column({})
      .Column({})
      .Column({{0, 4095}})
      .Column({})
      .Column({})
      .Column({})
      .Column({})
      .Data();
}

TEST_F(ObjectListTest, ReadsTheOutlineFileOfAnImage) {
  test::TempTree tree;
  tree.Write("Bilder/Schnitt/BECKEN.DAT", Overlapping());
  const std::string image = tree.DataPath() + "Bilder\\Schnitt\\Becken.jpg";
  Objektliste list(plotter, image, messages);
  EXPECT_EQ(list.FileName(), tree.DataPath() + "Bilder\\Schnitt\\Becken.dat");
  EXPECT_EQ(list.Title(), "Becken");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.At(0).Name(), "Harnblase");
  EXPECT_EQ(list.At(0).number, 11);
  EXPECT_EQ(list.At(1).Name(), "Uterus");
  EXPECT_EQ(list.At(1).outline, nullptr);
  EXPECT_EQ(list.At(3).outline->FirstColumn(), 0);
  EXPECT_EQ(list.At(3).outline->LastColumn(), 9);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ObjectListTest, MissingFileGivesOneUnnamedEntry) {
  test::TempTree tree;
  Objektliste list(plotter, tree.DataPath() + "Bilder\\CT\\Fehlt.JPG", messages);
  EXPECT_EQ(list.Title(), "NONAME");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.At(0).Name(), "");
  EXPECT_EQ(list.At(0).outline, nullptr);
  EXPECT_EQ(list.At(0).number, 0);
  EXPECT_TRUE(list.HitTest(0, 0).empty());
  EXPECT_FALSE(list.DrawByName("Herz", kDrawOutline));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(plotter.points.empty());
}

TEST_F(ObjectListTest, OutlinePathReplacesTheLastThreeCharacters) {
  EXPECT_EQ(Objektliste::OutlinePathOf("C:\\B\\Herz.JPG"), "C:\\B\\Herz.dat");
  EXPECT_EQ(Objektliste::OutlinePathOf("Herz.jpeg"), "Herz.jdat");
  EXPECT_EQ(Objektliste::OutlinePathOf("ab"), "dat");
}

TEST_F(ObjectListTest, HitTestInListOrderWithInclusiveBounds) {
  Objektliste list = Load(Overlapping());
  EXPECT_EQ(Hits(list.HitTest(5, 10)), (std::vector<int>{0, 2, 3}));
  // Run bounds are inside, one row beyond is not.
  EXPECT_EQ(Hits(list.HitTest(5, 8)), (std::vector<int>{0, 3}));
  EXPECT_EQ(Hits(list.HitTest(5, 12)), (std::vector<int>{2, 3}));
  EXPECT_EQ(Hits(list.HitTest(5, 13)), (std::vector<int>{3}));
  EXPECT_EQ(Hits(list.HitTest(5, 4095)), (std::vector<int>{3}));
  EXPECT_EQ(Hits(list.HitTest(5, 4096)), (std::vector<int>{}));
  EXPECT_EQ(Hits(list.Hits()), (std::vector<int>{}));
  // Columns outside a structure's range, and an empty column inside it.
  EXPECT_EQ(Hits(list.HitTest(3, 2)), (std::vector<int>{}));
  EXPECT_EQ(Hits(list.HitTest(4, 3)), (std::vector<int>{0}));
  EXPECT_EQ(Hits(list.HitTest(6, 0)), (std::vector<int>{}));
  EXPECT_TRUE(list.At(0).outline->Contains(5, 20));
  EXPECT_TRUE(list.At(0).outline->Contains(5, 30));
  EXPECT_FALSE(list.At(0).outline->Contains(5, 19));
}

TEST_F(ObjectListTest, HitListKeepsFiftyAndIndicesAboveTwoHundredFiftyFour) {
  RawOutline raw;
  raw.Title("Viele").Int16(300);
  for (int i = 0; i < 300; ++i) {
    // Every structure covers (1, 1); structure i alone also covers row 100 + i of column 2.
    raw.Head(i & 0xFF, "S" + std::to_string(i), 1, 2)
        .Column({{1, 1}})
        .Column({{std::uint16_t(100 + i), std::uint16_t(100 + i)}});
  }
  Objektliste list = Load(raw.Data());
  ASSERT_EQ(list.Count(), 300);
  const HitList& all = list.HitTest(1, 1);
  ASSERT_EQ(all.size(), HitList::kCapacity);
  for (int i = 0; i < all.size(); ++i) EXPECT_EQ(all[i], i);
  EXPECT_EQ(Hits(list.HitTest(2, 100 + 255)), (std::vector<int>{255}));
  EXPECT_EQ(Hits(list.HitTest(2, 100 + 299)), (std::vector<int>{299}));
  EXPECT_EQ(list.FindByName("s299"), 299);
}

TEST_F(ObjectListTest, FindByNameIgnoresCaseAndTheFirstWins) {
  const std::string bytes = RawOutline()
                                .Title("")
                                .Int16(4)
                                .Head(1,
                                      "\xC4u\xDF"
                                      "ere Haut",
                                      -1, -1)
                                .Head(2, "Leber", -1, -1)
                                .Head(3, "LEBER", 0, 0)
                                .Column({{1, 2}})
                                .Head(4, "", -1, -1)
                                .Data();
  Objektliste list = Load(bytes);
  EXPECT_EQ(list.FindByName("leber"), 1);
  EXPECT_EQ(list.FindByName("LEBER"), 1);
  EXPECT_EQ(list.FindByName("\xE4u\xDF"
                            "ERE HAUT"),
            0);  // umlauts fold too
  EXPECT_EQ(list.FindByName("Lebe"), -1);
  EXPECT_EQ(list.FindByName(""), 3);
  // The first "Leber" has no outline: found, nothing painted.
  EXPECT_TRUE(list.DrawByName("Leber", kDrawFilled));
  EXPECT_TRUE(plotter.lines.empty());
  EXPECT_FALSE(list.DrawByName("Milz", kDrawFilled));

  Objektliste empty = Load(RawOutline().Title("").Int16(0).Data());
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_EQ(empty.FindByName(""), -1);
}

TEST_F(ObjectListTest, Centres) {
  RawOutline raw;
  raw.Title("").Int16(3).Head(1, "Lunge", 10, 20);
  for (int c = 10; c <= 20; ++c) {
    if (c == 13) {
      raw.Column({});
    } else {
      raw.Column({{std::uint16_t(100 + c), 500}, {600, 700}});
    }
  }
  raw.Head(2, "Leer", 3, 5).Column({}).Column({}).Column({});
  raw.Head(3, "Voll", 7, 9).Column({{1, 1}}).Column({{5, 5}}).Column({{20, 30}});
  Objektliste list = Load(raw.Data());

  const Punkteliste& lung = *list.At(0).outline;
  EXPECT_EQ(lung.CentreColumn(), (10 + 13) / 2);
  EXPECT_EQ(lung.CentreRow(), (110 + 120) / 2);  // first runs' starts, 110 to 120
  EXPECT_EQ(list.At(1).outline->CentreColumn(), 3);
  EXPECT_EQ(list.At(1).outline->CentreRow(), 4999);
  // Contiguous to the end: the last column is reached.
  EXPECT_EQ(list.At(2).outline->CentreColumn(), 8);
  EXPECT_EQ(list.At(2).outline->CentreRow(), (1 + 20) / 2);
}

TEST_F(ObjectListTest, CentreColumnTruncatesTowardZero) {
  Objektliste list = Load(RawOutline()
                              .Title("")
                              .Int16(1)
                              .Head(1, "Links", -4, -2)
                              .Column({{1, 1}})
                              .Column({{1, 1}})
                              .Column({{1, 1}})
                              .Data());
  EXPECT_EQ(list.At(0).outline->CentreColumn(), -3);
  Objektliste odd = Load(RawOutline()
                             .Title("")
                             .Int16(1)
                             .Head(1, "L", -3, -2)
                             .Column({{1, 1}})
                             .Column({{1, 1}})
                             .Data());
  EXPECT_EQ(odd.At(0).outline->CentreColumn(), -2);  // -5 / 2
}

TEST_F(ObjectListTest, FilledPaintingDrawsOneGreenLinePerRun) {
  Objektliste list = Load(Overlapping());
  EXPECT_TRUE(list.DrawByName("harnblase", kDrawFilled));
  const Bgr green{0, 255, 0};
  EXPECT_EQ(plotter.lines,
            (std::vector<test::VLine>{{4, 0, 3, green}, {5, 8, 10, green}, {5, 20, 30, green}}));
  EXPECT_TRUE(plotter.points.empty());
}

TEST_F(ObjectListTest, SinglePixelOutline) {
  Objektliste list =
      Load(RawOutline().Title("").Int16(1).Head(1, "Punkt", 7, 7).Column({{40, 40}}).Data());
  list.Draw(0, kDrawOutline);
  EXPECT_EQ(plotter.points, (Points{{7, 40}, {7, 41}, {6, 40}, {8, 40}}));
  EXPECT_EQ(plotter.pointCount, 4u);
  EXPECT_EQ(plotter.colours, (std::set<std::vector<int>>{{0, 255, 0}}));
  list.Draw(0, 2);  // any mode but 1 is an outline
  EXPECT_EQ(plotter.pointCount, 8u);
}

// The outline as the walk through each column's window finds it: rows from the lowest to the
// highest extent of the column and its neighbours, emitting on every change between outside and
// inside and beside every inside neighbour. Written out literally, as the reference for the fast
// painting.
Points WindowWalkOutline(const Punkteliste& region, int imageHeight) {
  using Extent = std::pair<int, int>;
  auto extent = [&](int column, int above, Extent empty) -> Extent {
    const std::span<const OutlineRun> runs = region.Strand(column);
    if (runs.empty()) return empty;
    return {runs.front().start - 2, runs.back().end + above};
  };
  const int first = region.FirstColumn();
  const int last = region.LastColumn();
  Extent before{-3, 3};
  Extent own{-3, 3};
  Extent after = extent(first, 2, {-3, 1});
  Points points;
  for (int c = first - 1; c <= last + 1; ++c) {
    const int low = std::min({before.first, own.first, after.first});
    const int high = std::max({before.second, own.second, after.second});
    bool inside = false;
    for (int row = low; row < high; ++row) {
      const bool in = region.Contains(c, row);
      const bool beside = region.Contains(c - 1, row) || region.Contains(c + 1, row);
      if (!inside && in) {
        points.insert({c, row});
        inside = true;
      } else if (inside && !in) {
        points.insert({c, row});
        inside = false;
      } else if (!inside && !in && beside) {
        points.insert({c, row});
      }
    }
    before = own;
    own = after;
    after = c + 1 >= last ? Extent{1, imageHeight + 1} : extent(c + 2, 4, {-3, 3});
  }
  return points;
}

// Every inside pixel with its lower neighbour outside, every outside pixel with its lower
// neighbour inside, every outside pixel with an inside pixel left or right: by brute force.
Points BruteForceOutline(const Punkteliste& region, int rows) {
  Points points;
  for (int c = region.FirstColumn() - 1; c <= region.LastColumn() + 1; ++c) {
    for (int row = 0; row <= rows; ++row) {
      const bool in = region.Contains(c, row);
      const bool below = region.Contains(c, row - 1);
      const bool beside = region.Contains(c - 1, row) || region.Contains(c + 1, row);
      if ((in && !below) || (!in && below) || (!in && beside)) points.insert({c, row});
    }
  }
  return points;
}

TEST_F(ObjectListTest, OutlineMatchesTheWindowWalkOnRandomRegions) {
  std::mt19937 random(4711);
  constexpr int kHeight = 64;
  for (int trial = 0; trial < 300; ++trial) {
    const int width = 1 + int(random() % 12);
    RawOutline raw;
    raw.Title("").Int16(1).Head(1, "R", 3, 3 + width - 1);
    for (int c = 0; c < width; ++c) {
      std::vector<OutlineRun> runs;
      int row = int(random() % 6);
      while (random() % 3 != 0 && row < kHeight - 4) {
        const int length = int(random() % 5);
        runs.push_back({std::uint16_t(row), std::uint16_t(row + length)});
        row += length + 1 + int(random() % 4);  // runs may touch
      }
      raw.Int16(int(runs.size()));
      std::string packed;
      for (const OutlineRun& run : runs) AppendRun(packed, run);
      raw.Bytes(packed);
    }
    Objektliste list = Load(raw.Data());
    const Punkteliste& region = *list.At(0).outline;
    plotter.points.clear();
    plotter.pointCount = 0;
    list.Draw(0, kDrawOutline);
    ASSERT_EQ(plotter.points, WindowWalkOutline(region, kHeight)) << "trial " << trial;
    ASSERT_EQ(plotter.points, BruteForceOutline(region, kHeight)) << "trial " << trial;
    EXPECT_EQ(plotter.pointCount, plotter.points.size()) << "each point once";
  }
}

TEST_F(ObjectListTest, OutlineOfUnsortedOverlappingRunsIsTheRegionsBoundary) {
  // A damaged file: runs out of order, overlapping, one with start > end (covers nothing).
  Objektliste list = Load(RawOutline()
                              .Title("")
                              .Int16(1)
                              .Head(1, "Wirr", 0, 2)
                              .Column({{30, 40}, {2, 5}, {4, 12}})
                              .Column({{9, 3}})
                              .Column({{50, 60}, {10, 20}, {15, 55}})
                              .Data());
  list.Draw(0, kDrawOutline);
  EXPECT_EQ(plotter.points, BruteForceOutline(*list.At(0).outline, 80));
  EXPECT_FALSE(list.At(0).outline->Contains(1, 5));
}

TEST_F(ObjectListTest, OutlinePointsComeInBatchesOf4096) {
  // 3000 columns of one run each: every column yields its bottom, its top and nothing beside,
  // except where the rows differ from the neighbours'.
  RawOutline raw;
  raw.Title("").Int16(1).Head(1, "Breit", 0, 2999);
  for (int c = 0; c < 3000; ++c) raw.Column({{10, std::uint16_t(10 + c % 2)}});
  Objektliste list = Load(raw.Data());
  list.Draw(0, kDrawOutline);
  ASSERT_GE(plotter.batches.size(), 2u);
  for (size_t i = 0; i + 1 < plotter.batches.size(); ++i) EXPECT_EQ(plotter.batches[i], 4096u);
  EXPECT_EQ(plotter.pointCount, plotter.points.size());
  EXPECT_EQ(plotter.points, BruteForceOutline(*list.At(0).outline, 20));
}

TEST_F(ObjectListTest, DamagedRecordsStayBoundedAndInStep) {
  // A name length far beyond the field, a huge column range with little data, then a count that
  // promises more records than there are.
  const std::string bytes = RawOutline()
                                .Title("Kaputt")
                                .Int16(32767)
                                .Byte(1)
                                .Int16(1000)
                                .Bytes(std::string(1000, 'n'))
                                .Int16(-1)
                                .Int16(-1)
                                .Head(2, "Weit", -32768, 32767)
                                .Column({{1, 2}})
                                .Column({})
                                .Int16(5)
                                .Bytes("\x07\x08")
                                .Data();
  Objektliste list = Load(bytes);
  ASSERT_EQ(list.Count(), 2);  // the records the data holds, not the 32767 promised
  EXPECT_EQ(list.At(0).Name(), std::string(258, 'n'));
  EXPECT_EQ(list.At(1).Name(), "Weit");
  const Punkteliste& wide = *list.At(1).outline;
  EXPECT_TRUE(wide.Contains(-32768, 2));
  // The cut-off third column: one run from the two bytes left and zeros, then the four runs
  // missing entirely, whose zero bytes make rows 0..0.
  EXPECT_TRUE(wide.Contains(-32766, 8));
  EXPECT_FALSE(wide.Contains(-32766, 9));
  EXPECT_TRUE(wide.Contains(-32766, 0));
  EXPECT_FALSE(wide.Contains(-32766, 1));
  EXPECT_TRUE(wide.Strand(0).empty());

  // Painting and centring the wide structure cover only the columns with data.
  list.Draw(1, kDrawOutline);
  list.Draw(1, kDrawFilled);
  EXPECT_EQ(plotter.lines.size(), 3u);
  EXPECT_EQ(wide.CentreColumn(), (-32768 + -32767) / 2);
  EXPECT_TRUE(messages.shown.empty());

  // The wide structure alone: nothing near 65536 columns' worth of strands is allocated.
  const std::string alone = RawOutline()
                                .Title("")
                                .Int16(1)
                                .Head(2, "Weit", -32768, 32767)
                                .Column({{1, 2}})
                                .Column({})
                                .Int16(5)
                                .Bytes("\x07\x08")
                                .Data();
  test::CountingResource counting;
  Objektliste small = Load(alone, &counting);
  EXPECT_TRUE(small.At(0).outline->Contains(-32766, 8));
  EXPECT_LT(counting.allocated, 1024u);
}

TEST_F(ObjectListTest, OutOfMemoryMessagesAndTheListGoesOn) {
  const std::string bytes = RawOutline()
                                .Title("")
                                .Int16(2)
                                .Head(1, "Herz", 3, 4)
                                .Column({{1, 2}})
                                .Column({{3, 4}})
                                .Head(2, "Milz", 9, 9)
                                .Column({{5, 6}})
                                .Data();
  struct Case {
    int failAt;
    std::string_view message;
  };
  // Allocations in order: the entry array, then per structure the outline, its strands (column
  // offsets), its runs.
  for (const Case& c : {Case{1, kNoMemoryEntries}, Case{2, kNoMemoryOutline},
                        Case{3, kNoMemoryStrands}, Case{4, kNoMemoryStrands}}) {
    ScriptedMessageService shown;
    test::FailingResource failing(c.failAt);
    Objektliste list(plotter, OutlineBytes{bytes}, shown, &failing);
    ASSERT_EQ(shown.shown.size(), 1u) << c.failAt;
    EXPECT_EQ(shown.shown[0].text, c.message);
    EXPECT_EQ(shown.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(shown.shown[0].buttons, MessageButtons::Ok);
    if (c.failAt == 1) {
      EXPECT_EQ(list.Count(), 0);
      continue;
    }
    // The first structure lost its outline, the second was read in step.
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0).Name(), "Herz");
    EXPECT_EQ(list.At(0).outline, nullptr);
    EXPECT_EQ(list.At(1).Name(), "Milz");
    EXPECT_EQ(Hits(list.HitTest(9, 6)), (std::vector<int>{1}));
  }

  // Growing the list for the entry of a missing file.
  test::TempTree tree;
  test::FailingResource failing(1);
  ScriptedMessageService shown;
  Objektliste list(plotter, tree.DataPath() + "fehlt.jpg", shown, &failing);
  EXPECT_EQ(list.Count(), 0);
  ASSERT_EQ(shown.shown.size(), 1u);
  EXPECT_EQ(shown.shown[0].text, kNoMemoryAdd);
}

TEST_F(ObjectListTest, AddNumbersEntriesByIndex) {
  Objektliste list = Load(Overlapping());
  Objekt extra;
  extra.SetName("Zusatz");
  extra.number = 99;
  list.Add(std::move(extra));
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list.At(4).number, 4);
  EXPECT_EQ(list.At(4).Name(), "Zusatz");
  // The outlines of the earlier entries survive the growth.
  EXPECT_EQ(Hits(list.HitTest(5, 10)), (std::vector<int>{0, 2, 3}));
}

}  // namespace
}  // namespace ostrelin
