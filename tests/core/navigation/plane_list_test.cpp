#include "navigation/core/plane_list.h"

#include <gtest/gtest.h>

#include <string>

#include "navigation/core/step_control.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::TempTree;
using test::WithCrLf;

TEST(PlaneListTest, FieldRulesDecideWhichLinesArePlanes) {
  const PlaneList list =
      ParsePlaneList(WithCrLf("  Oben # 0 \n"
                              "\t\n"
                              "Unten#100\n"
                              "Zu tief#101\n"
                              "Negativ#-1\n"
                              "Prozent#40%\n"
                              "Leer#   #Rest\n"
                              "Ohne#   \n"
                              "##Doppelt##55\n"
                              "NurName\n"
                              "Drei#30#ein Kommentar#mehr\n"
                              " #70\n"
                              "Plus#+12\n"
                              "Null#-0\n"
                              "Riesig#99999999999999999999999\n"
                              "Text#abc\n"));
  EXPECT_TRUE(list.horizontal);
  // "Ohne#   " trims to "Ohne#", which has no position; the blank field between two "#" is a
  // position of 0. " #70" trims to "#70": the leading "#" is skipped, so "70" is a name without a
  // position.
  const std::vector<std::string> names = {"Oben", "Unten", "Prozent", "Leer", "Doppelt",
                                          "Drei", "Plus",  "Null",    "Text"};
  const std::vector<uint16_t> positions = {0, 100, 40, 0, 55, 30, 12, 0, 0};
  EXPECT_EQ(list.names, names);
  EXPECT_EQ(list.positions, positions);
}

TEST(PlaneListTest, VerticalAnywhereInAnyCaseTurnsTheWholeFile) {
  const PlaneList onlyWord = ParsePlaneList("vertical\r\n");
  EXPECT_TRUE(onlyWord.Empty());
  EXPECT_FALSE(onlyWord.horizontal);

  const PlaneList atEnd = ParsePlaneList(WithCrLf("A#10\nB#20\n  VeRtIcAl \t\n"));
  EXPECT_FALSE(atEnd.horizontal);
  EXPECT_EQ(atEnd.Count(), 2);

  // A name that merely starts with the word is a plane, and leaves the file horizontal.
  const PlaneList named = ParsePlaneList("Vertical cut#50\n");
  EXPECT_TRUE(named.horizontal);
  EXPECT_EQ(named.Count(), 1);
}

TEST(PlaneListTest, LongLinesAreReadWholeAndOverlongNamesSkipped) {
  const std::string longName(505, 'N');
  const std::string tooLongName(PlaneList::kMaxName + 1, 'X');
  const PlaneList list =
      ParsePlaneList(WithCrLf(longName + "#100\n" + tooLongName + "#50\n" + "Kurz#70#" +
                              std::string(700, 'k') + "#20\n" + "Danach#5\n"));
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.names[0], longName);
  EXPECT_EQ(list.positions[0], 100);  // not cut to "1" or "10" at a buffer's end
  EXPECT_EQ(list.names[1], "Kurz");
  EXPECT_EQ(list.positions[1], 70);
  EXPECT_EQ(list.names[2], "Danach");  // nothing of the long line came back as a line
}

TEST(PlaneListTest, LoadsFromTheDataFolderAndMissingFilesGiveAnEmptyList) {
  TempTree tree;
  tree.Write("DATEN/sm_kopf.pos", WithCrLf("Scheitel#5\nKinn#95\n"));
  const PlaneList list = LoadPlaneList(tree.DataPath(), "SM_KOPF");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.names[1], "Kinn");

  tree.Write("Daten/SM_ARM.POS", "VERTICAL\n");
  const PlaneList missing = LoadPlaneList(tree.DataPath(), "SM_BEIN");
  EXPECT_TRUE(missing.Empty());
  EXPECT_TRUE(missing.horizontal);
  tree.MakeDir("Daten/SF_RUMPF.POS");  // a folder is no file
  EXPECT_TRUE(LoadPlaneList(tree.DataPath(), "SF_RUMPF").Empty());
}

TEST(PlaneListTest, FindByNameFoldsOnlyAsciiLettersAndFallsBackToZero) {
  PlaneList list;
  list.Add(10, "Kopf");
  list.Add(20, "Hals \xC4");
  list.Add(30, "kopf");
  EXPECT_EQ(FindByName(list, "KOPF"), 0);
  EXPECT_EQ(FindByName(list, "HALS \xC4"), 1);
  EXPECT_EQ(FindByName(list, "hals \xE4"), 0);  // umlauts are not folded: not found
  EXPECT_EQ(FindByName(list, "Bauch"), 0);
  EXPECT_EQ(FindByName(PlaneList(), "Kopf"), 0);
}

TEST(PlaneListTest, LinePositionScalesToTheBitmapLessTwoPixels) {
  PlaneList list;
  list.Add(0, "a");
  list.Add(50, "b");
  list.Add(100, "c");
  EXPECT_EQ(LinePosition(list, 0, 192, 355), 0);
  EXPECT_EQ(LinePosition(list, 1, 192, 355), 176);  // 50 x 353 / 100, truncated
  EXPECT_EQ(LinePosition(list, 2, 192, 355), 353);
  list.horizontal = false;
  EXPECT_EQ(LinePosition(list, 1, 192, 355), 95);
  EXPECT_EQ(LinePosition(list, 3, 192, 355), 0);
  EXPECT_EQ(LinePosition(list, -1, 192, 355), 0);
}

TEST(StepControlTest, PositionStaysInItsRangeAndStepsWrapRound) {
  StepControl steps;
  EXPECT_EQ(steps.GetPos(), 0);
  steps.SetRange(0, 2);
  EXPECT_EQ(steps.SetPos(2), 0);
  EXPECT_EQ(steps.SetPos(3), 2);  // refused, the previous position is returned
  EXPECT_EQ(steps.GetPos(), 2);
  steps.StepUp();
  EXPECT_EQ(steps.GetPos(), 0);
  steps.StepDown();
  EXPECT_EQ(steps.GetPos(), 2);
  steps.StepDown();
  EXPECT_EQ(steps.GetPos(), 1);

  // A new range leaves the position alone; outside it GetPos says -1.
  steps.SetRange(5, 7);
  EXPECT_EQ(steps.GetPos(), -1);
  steps.SetRange(0, 0);
  steps.StepUp();
  EXPECT_EQ(steps.GetPos(), 0);  // one position: both arrows stay on it
  steps.StepDown();
  EXPECT_EQ(steps.GetPos(), 0);
}

}  // namespace
}  // namespace ostrelin
