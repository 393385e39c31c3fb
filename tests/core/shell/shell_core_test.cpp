// The string table, the hourglass switch and the names that fill the index at start-up.
#include <gtest/gtest.h>

#include "catalogue/core/catalogue.h"
#include "platform/core/wait_cursor.h"
#include "resources/core/string_table.h"
#include "shell/core/index_names.h"
#include "tests/support/recording_cursor.h"

namespace ostrelin {
namespace {

TEST(LoadText, GivesWindows1252TextsAndTheFallbackForUnknownIds) {
  EXPECT_EQ(LoadText(text::kResolutionTooLow), "Die Aufl\xF6sung ist sehr gering ! Beenden ?");
  EXPECT_EQ(LoadText(text::kFontFace), "Arial");
  EXPECT_EQ(LoadText(text::kDirImageMR), "Bilder\\MRT\\");
  EXPECT_EQ(LoadText(-1), "TEXT-Ressource NICHT GEFUNDEN !?!");
  EXPECT_EQ(LoadText(999999), kTextNotFound);
}

TEST(WaitCursor, OffShowsTheRememberedCursorOrTheArrow) {
  test::RecordingCursorService cursors;
  cursors.current = CursorShape::Hand;
  WaitCursor wait(cursors);
  wait(false);  // nothing remembered yet
  EXPECT_EQ(cursors.current, CursorShape::Arrow);
  cursors.current = CursorShape::Hand;
  wait(true);
  EXPECT_EQ(cursors.current, CursorShape::Wait);
  wait(false);
  EXPECT_EQ(cursors.current, CursorShape::Hand);
  EXPECT_TRUE(cursors.shown.back().untilMouseMoves);
}

TEST(WaitCursor, NestedPairsLeaveTheHourglassUntilTheMouseMoves) {
  test::RecordingCursorService cursors;
  WaitCursor wait(cursors);
  wait(true);
  wait(true);  // remembers the hourglass: there is one remembered cursor, no count
  wait(false);
  wait(false);
  EXPECT_EQ(cursors.current, CursorShape::Wait);
  EXPECT_TRUE(cursors.shown.back().untilMouseMoves);
}

TEST(IndexNames, PagesFirstThenStructuresInListOrderDuplicatesIncluded) {
  Catalogue catalogue;
  catalogue.AddIndexList(
      "Herz # h.txt # # # # # # S # M # R # e\nLunge # l.txt # # # # # # S # M # R # e\n");
  catalogue.AddStructureList("Herz # Herz # S\nAorta # Herz # S\nAorta # Lunge # C\n");
  std::vector<std::string> names;
  ForEachIndexName(catalogue, [&](const std::string& name) { names.push_back(name); });
  EXPECT_EQ(names, (std::vector<std::string>{"Herz", "Lunge", "Herz", "Aorta", "Aorta"}));
  EXPECT_EQ(IndexNameCount(catalogue), names.size());
}

}  // namespace
}  // namespace ostrelin
