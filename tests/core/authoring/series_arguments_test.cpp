// The command line of `atlasbau series` read into a series' options, without touching any file.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "authoring/core/series_arguments.h"
#include "tests/support/command_line.h"

namespace ostrelin {
namespace {

std::vector<std::string> Line(const std::vector<std::string>& changes) {
  return test::WithOptions(
      {"tree", "--image", "scan.nii", "--labels", "labels.nii", "--name", "Kopf axial", "--plane",
       "axial", "--type", "mr", "--region", "kopf", "--from", "0", "--to", "10", "--step", "5"},
      changes);
}

TEST(SeriesArguments, EveryOptionIsReadIntoTheSeriesOptions) {
  using Check = std::function<void(const SeriesArguments&)>;
  const std::pair<std::vector<std::string>, Check> cases[] = {
      {{},
       [](const SeriesArguments& a) {
         EXPECT_EQ(a.options.tree, "tree");
         EXPECT_EQ(a.image, "scan.nii");
         EXPECT_EQ(a.labels, "labels.nii");
         EXPECT_EQ(a.options.name, "Kopf axial");
         EXPECT_EQ(a.options.positions, (std::vector<double>{0, 5, 10}));
         EXPECT_EQ(a.options.region, 'K');
         EXPECT_EQ(a.options.sex, 'M');
         EXPECT_FALSE(a.options.window);  // an MR series gets its window from the scan
         EXPECT_FALSE(a.table || a.names || a.options.schema || a.options.extent);
       }},
      // Planes run the way --from and --to point, rounded to thousandths.
      {{"--from", "+10", "--to", "0", "--step", "3.3333"},
       [](const SeriesArguments& a) {
         EXPECT_EQ(a.options.positions, (std::vector<double>{10, 6.667, 3.333, 0}));
       }},
      {{"--plane", "sagittal", "--type",   "schema", "--region",     "uebersicht",
        "--sex",   "w",        "--schema", "",       "--table",      "t.txt",
        "--names", "none",     "--files",  "Kopf Ä", "--min-pixels", "20",
        "--pixel", "0.5",      "--extent", "90,-40"},
       [](const SeriesArguments& a) {
         EXPECT_EQ(a.options.plane, PlaneOrientation::kSagittal);
         EXPECT_EQ(a.options.type, SeriesType::kSchema);
         EXPECT_EQ(a.options.region, 'U');
         EXPECT_EQ(a.options.sex, 'W');
         EXPECT_TRUE(a.options.schema);
         EXPECT_EQ(a.table, "t.txt");
         EXPECT_EQ(a.names, "none");
         EXPECT_EQ(a.options.files, FileStemOf("Kopf Ä"));
         EXPECT_EQ(a.options.minPixels, 20u);
         EXPECT_EQ(a.options.pixel, 0.5);
         EXPECT_EQ(a.options.extent, std::make_pair(90.0, -40.0));
       }},
      // A CT series without a window gets the soft-tissue one; "auto" asks for none.
      {{"--type", "ct"},
       [](const SeriesArguments& a) { EXPECT_EQ(a.options.window, WindowPreset("weichteil")); }},
      {{"--type", "ct", "--preset", "auto"},
       [](const SeriesArguments& a) { EXPECT_FALSE(a.options.window); }},
      {{"--type", "ct", "--window", "40,400"},
       [](const SeriesArguments& a) {
         EXPECT_EQ(a.options.window, std::make_pair(40.0, 400.0));
         EXPECT_EQ(a.window, "40,400");
       }},
      {{"--preset", "lunge"},
       [](const SeriesArguments& a) { EXPECT_EQ(a.options.window, WindowPreset("lunge")); }},
  };
  for (const auto& [changes, check] : cases) {
    SCOPED_TRACE(::testing::PrintToString(changes));
    SeriesArguments parsed;
    std::string error;
    ASSERT_TRUE(ParseSeriesArguments(Line(changes), parsed, error)) << error;
    check(parsed);
  }
}

TEST(SeriesArguments, BadOptionsAreRefusedWithTheirReason) {
  // Each reason with the changes of the command line that earn it.
  const std::pair<const char*, std::vector<std::vector<std::string>>> refused[] = {
      {"unknown or incomplete option --bogus", {{"--bogus", "1"}}},
      {"--step is missing", {{"--step", "-"}}},
      {"--name must not be empty or hold \"#\"", {{"--name", ""}, {"--name", "A#B"}}},
      {"which the atlas cannot store", {{"--name", "Kopf \xE2\x86\x92"}}},
      {"--plane is axial, coronal or sagittal", {{"--plane", "schraeg"}}},
      {"--type is schnitt, ct, mr or schema", {{"--type", "roentgen"}}},
      {"--region is kopf, rumpf, arm, bein or uebersicht", {{"--region", "hals"}}},
      {"--sex is m or w", {{"--sex", "x"}}},
      {"--from, --to and --step are millimetres, --step above 0",
       {{"--step", "0"}, {"--step", "-5"}, {"--from", "nan"}, {"--to", "10mm"}}},
      {"more than 2000 planes", {{"--to", "2001", "--step", "1"}}},
      {"--pixel is millimetres above 0", {{"--pixel", "0"}, {"--pixel", "fein"}}},
      {"--extent is FIRST,LAST in millimetres, two different values",
       {{"--extent", "5,5"}, {"--extent", "5"}}},
      {"--window and --preset exclude each other", {{"--window", "40,400", "--preset", "lunge"}}},
      {"--window is CENTRE,WIDTH, the width above 0", {{"--window", "40,0"}, {"--window", "40"}}},
      {"--preset is weichteil, lunge, knochen, gehirn or auto", {{"--preset", "hirn"}}},
      {"--min-pixels is a number of pixels, 1 or more",
       {{"--min-pixels", "0"}, {"--min-pixels", "2e6"}}},
  };
  for (const auto& [reason, lines] : refused) {
    for (const std::vector<std::string>& changes : lines) {
      SCOPED_TRACE(::testing::PrintToString(changes));
      SeriesArguments parsed;
      std::string error;
      EXPECT_FALSE(ParseSeriesArguments(Line(changes), parsed, error));
      EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
  }
  SeriesArguments parsed;
  std::string error;
  EXPECT_FALSE(ParseSeriesArguments({"--image", "scan.nii"}, parsed, error));
  EXPECT_EQ(error, "the data tree is missing");
}

}  // namespace
}  // namespace ostrelin
