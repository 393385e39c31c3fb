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
  return test::WithOptions({"tree", "--image", "scan.nii", "--labels", "labels.nii", "--name",
                            "Kopf axial", "--plane", "axial", "--type", "mr", "--region", "kopf",
                            "--from", "0", "--to", "10", "--step", "5"},
                           changes);
}

TEST(SeriesArguments, EveryOptionIsReadOrRefusedWithItsReason) {
  using Check = std::function<void(const SeriesArguments&)>;
  struct Case {
    std::vector<std::string> changes;
    const char* error;  // nullptr: accepted
    Check check;
  };
  const Case cases[] = {
      {{},
       nullptr,
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
       nullptr,
       [](const SeriesArguments& a) {
         EXPECT_EQ(a.options.positions, (std::vector<double>{10, 6.667, 3.333, 0}));
       }},
      {{"--plane", "sagittal", "--type", "schema", "--region", "uebersicht", "--sex", "w",
        "--schema", "", "--table", "t.txt", "--names", "none", "--files", "Kopf Ä",
        "--min-pixels", "20", "--pixel", "0.5", "--extent", "90,-40"},
       nullptr,
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
       nullptr,
       [](const SeriesArguments& a) { EXPECT_EQ(a.options.window, WindowPreset("weichteil")); }},
      {{"--type", "ct", "--preset", "auto"},
       nullptr,
       [](const SeriesArguments& a) { EXPECT_FALSE(a.options.window); }},
      {{"--type", "ct", "--window", "40,400"},
       nullptr,
       [](const SeriesArguments& a) {
         EXPECT_EQ(a.options.window, std::make_pair(40.0, 400.0));
         EXPECT_EQ(a.window, "40,400");
       }},
      {{"--preset", "lunge"},
       nullptr,
       [](const SeriesArguments& a) { EXPECT_EQ(a.options.window, WindowPreset("lunge")); }},
      {{"--bogus", "1"}, "unknown or incomplete option --bogus", nullptr},
      {{"--step", "-"}, "--step is missing", nullptr},
      {{"--name", ""}, "--name must not be empty", nullptr},
      {{"--name", "A#B"}, "hold \"#\"", nullptr},
      {{"--name", "Kopf \xE2\x86\x92"}, "which the atlas cannot store", nullptr},
      {{"--plane", "schraeg"}, "--plane is axial, coronal or sagittal", nullptr},
      {{"--type", "roentgen"}, "--type is schnitt, ct, mr or schema", nullptr},
      {{"--region", "hals"}, "--region is kopf, rumpf, arm, bein or uebersicht", nullptr},
      {{"--sex", "x"}, "--sex is m or w", nullptr},
      {{"--step", "0"}, "--from, --to and --step are millimetres", nullptr},
      {{"--from", "nan"}, "--from, --to and --step are millimetres", nullptr},
      {{"--to", "10mm"}, "--from, --to and --step are millimetres", nullptr},
      {{"--to", "2001", "--step", "1"}, "more than 2000 planes", nullptr},
      {{"--pixel", "0"}, "--pixel is millimetres above 0", nullptr},
      {{"--extent", "5,5"}, "--extent is FIRST,LAST", nullptr},
      {{"--extent", "5"}, "--extent is FIRST,LAST", nullptr},
      {{"--window", "40,400", "--preset", "lunge"}, "exclude each other", nullptr},
      {{"--window", "40,0"}, "--window is CENTRE,WIDTH", nullptr},
      {{"--preset", "hirn"}, "--preset is weichteil, lunge, knochen, gehirn or auto", nullptr},
      {{"--min-pixels", "0"}, "--min-pixels is a number of pixels, 1 or more", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.changes));
    SeriesArguments parsed;
    std::string error;
    const bool ok = ParseSeriesArguments(Line(c.changes), parsed, error);
    if (c.error == nullptr) {
      ASSERT_TRUE(ok) << error;
      c.check(parsed);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
  }
  SeriesArguments parsed;
  std::string error;
  EXPECT_FALSE(ParseSeriesArguments({"--image", "scan.nii"}, parsed, error));
  EXPECT_EQ(error, "the data tree is missing");
}

}  // namespace
}  // namespace ostrelin
