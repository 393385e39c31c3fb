// The image window's decisions: zoom bar, panning, names, context menu, list placement and the
// overview's reduced copy.
#include <gtest/gtest.h>

#include "structures/core/image_access.h"
#include "structures/core/image_window_model.h"
#include "resources/core/ui_texts.h"
#include "platform/core/scripted_message_service.h"
#include "tests/support/outline_testing.h"

namespace ostrelin {
namespace {

TEST(ImageWindowZoom, PositionsAndFactorsMatchBothWays) {
  const float factors[] = {1.0f / 3, 0.5f, 1, 2, 3, 4, 5};
  for (int p = kFirstZoomPosition; p <= kLastZoomPosition; ++p) {
    EXPECT_FLOAT_EQ(ZoomOfPosition(p), factors[p - 4]) << p;
    EXPECT_EQ(PositionOfZoom(ZoomOfPosition(p)), p) << p;
  }
}

TEST(ImageWindowZoom, BarStepsStopAtTheEnds) {
  using A = ScrollAction;
  EXPECT_EQ(ZoomBarStep(10, A::LineForward, 0), 10);
  EXPECT_EQ(ZoomBarStep(4, A::LineBack, 0), 4);
  EXPECT_EQ(ZoomBarStep(6, A::LineForward, 0), 7);
  EXPECT_EQ(ZoomBarStep(5, A::PageBack, 0), 4);
  EXPECT_EQ(ZoomBarStep(6, A::PageBack, 0), 4);
  EXPECT_EQ(ZoomBarStep(9, A::PageBack, 0), 6);
  EXPECT_EQ(ZoomBarStep(8, A::PageForward, 0), 10);
  EXPECT_EQ(ZoomBarStep(5, A::PageForward, 0), 8);
  EXPECT_EQ(ZoomBarStep(6, A::Thumb, 9), 9);
  EXPECT_EQ(ZoomBarStep(6, A::Thumb, 42), 10);
  EXPECT_EQ(ZoomBarStep(7, A::Other, 0), 7);
}

TEST(ImageWindowPan, StepsAreClampedBetweenTheLimitAndZero) {
  using A = ScrollAction;
  EXPECT_EQ(PanOffset(0, A::LineForward, 0, -100), -20);
  EXPECT_EQ(PanOffset(-20, A::PageForward, 0, -100), -70);
  EXPECT_EQ(PanOffset(-70, A::PageForward, 0, -100), -100);  // the image's edge reached
  EXPECT_EQ(PanOffset(-100, A::LineForward, 0, -100), -100);
  EXPECT_EQ(PanOffset(-10, A::LineBack, 0, -100), 0);
  EXPECT_EQ(PanOffset(-10, A::Thumb, 60, -100), -60);
  // An image that fits has a positive limit and never moves.
  EXPECT_EQ(PanOffset(0, A::PageForward, 0, 35), 0);
}

TEST(ImageWindowNames, SplitTrimAndPickRelatedEntries) {
  EXPECT_EQ(SplitNames(" Herz & Lunge&&Aorta "),
            (std::vector<std::string>{"Herz", "Lunge", "", "Aorta"}));
  EXPECT_EQ(MainName("\tHerz &Lunge"), "Herz");
  EXPECT_EQ(MainName("Herz"), "Herz");
  EXPECT_EQ(RelatedNameOf("A & &C", image_cmd::kFirstRelated), "A");
  EXPECT_EQ(RelatedNameOf("A & &C", image_cmd::kFirstRelated + 2), "C");
  EXPECT_EQ(RelatedNameOf("A", image_cmd::kFirstRelated + 1), "");
  EXPECT_EQ(RelatedNameOf("A", image_cmd::kHelp), "");
}

TEST(ImageWindowNames, ListBoxOrderIgnoresCase) {
  std::vector<std::string> names{"lunge",
                                 "Aorta",
                                 "\xD6sophagus",
                                 "herz",
                                 "Herz",
                                 "\xF6"
                                 "de"};
  SortForListBox(names);
  EXPECT_EQ(names, (std::vector<std::string>{"Aorta", "Herz", "herz", "lunge",
                                             "\xF6"
                                             "de",
                                             "\xD6sophagus"}));
  EXPECT_TRUE(EqualsIgnoringCase("\xC4rmel", "\xE4RMEL"));
  EXPECT_FALSE(EqualsIgnoringCase("Herz", "Herzen"));
}

TEST(ImageWindowMenu, WithoutStructuresTheMenuHasNoStructureLists) {
  ContextMenuState state;  // an image whose outline file is missing: nothing painted
  const auto menu = BuildContextMenu(state);
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].command, image_cmd::kFullView);
  EXPECT_EQ(menu[0].text, image_window_text::kFullView);
  EXPECT_EQ(menu[1].command, image_cmd::kHelp);
}

TEST(ImageWindowMenu, HighlightRelatedNamesAndFullView) {
  ContextMenuState state;
  state.paintedCount = 1;
  state.highlightStatus = "Herz";
  state.normalView = false;
  state.markableStructures = true;
  // Ten parts, one empty: the empty one uses up its number, the tenth gets none.
  state.relatedNames = "A&B& &D&E&F&G&H&I&J";
  const auto menu = BuildContextMenu(state);
  std::vector<int> commands;
  for (const auto& entry : menu) commands.push_back(entry.command);
  EXPECT_EQ(commands, (std::vector<int>{1284, 0, 1286, 1297, 1298, 1287, 0, 1288, 1289, 1291, 1292,
                                        1293, 1294, 1295, 1296}));
  EXPECT_EQ(menu[0].text, "Herz");
  EXPECT_EQ(menu[2].text, image_window_text::kNormalView);
  EXPECT_EQ(menu.back().text, "I");
}

TEST(ImageWindowPlacement, OverlapListStaysInTheWindow) {
  EXPECT_EQ(OverlapListRect(30, 40, 800, 600), (Rect{30, 40, 250, 100}));
  EXPECT_EQ(OverlapListRect(700, 550, 800, 600), (Rect{540, 490, 250, 100}));
}

TEST(ImageWindowPlacement, MarkableListIsShiftedThenCut) {
  EXPECT_EQ(KeepMarkableListInside({10, 30, 150, 200}, 800, 600), (Rect{10, 30, 150, 200}));
  EXPECT_EQ(KeepMarkableListInside({700, 500, 150, 200}, 800, 600), (Rect{650, 400, 150, 200}));
  // Not left of x = 10 nor above y = 30: what is still too large is cut at the edge.
  EXPECT_EQ(KeepMarkableListInside({50, 50, 300, 300}, 200, 150), (Rect{10, 30, 190, 120}));
}

TEST(ImageWindowOverview, QuarterSizeCopyTakesEveryFourthPixel) {
  SourceImage source;
  source.width = 516;
  source.height = 512;
  source.pixels = std::make_unique<std::uint8_t[]>(source.Bytes());
  for (int r = 0; r < source.height; ++r) {
    for (int c = 0; c < source.width; ++c) {
      std::uint8_t* p = source.Row(r) + size_t(c) * 3;
      p[0] = std::uint8_t(c);
      p[1] = std::uint8_t(r);
      p[2] = std::uint8_t(c + r);
    }
  }
  const OverviewCopy copy = ReduceForOverview(source);
  EXPECT_EQ(copy.columns, 128);  // 129 rounded down to a multiple of 4
  EXPECT_EQ(copy.rows, 128);
  ASSERT_EQ(copy.bgr.size(), 128u * 128u * 3u);
  const std::uint8_t* p = &copy.bgr[(size_t(10) * 128 + 7) * 3];  // row 10, column 7
  EXPECT_EQ(p[0], 28);
  EXPECT_EQ(p[1], 40);
  EXPECT_EQ(p[2], 68);
  const OverviewCentre corner = OverviewClickCentre(0, copy.rows, copy.rows);
  EXPECT_EQ(corner.column, 0);
  EXPECT_EQ(corner.row, 0);
}

TEST(ImageWindowNames, MarkableNamesSkipUnnamedStructures) {
  test::RecordingPlotter plotter;
  ScriptedMessageService messages;
  const std::string bytes = test::RawOutline()
                                .Title("T")
                                .Int16(3)
                                .Head(1, "Herz", -1, -1)
                                .Head(2, "", -1, -1)
                                .Head(3, "Lunge", -1, -1)
                                .Data();
  Objektliste list(plotter, OutlineBytes{bytes}, messages);
  EXPECT_EQ(MarkableNames(list), (std::vector<std::string>{"Herz", "Lunge"}));
  EXPECT_TRUE(HasMarkableStructures(list));
  Objektliste none(plotter, "/no/such/image.bmp", messages);
  EXPECT_FALSE(HasMarkableStructures(none));
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace ostrelin

namespace ostrelin {
namespace {

TEST(ImageAccess, StepsInNameOrderAndRunsPastEitherEnd) {
  const std::vector<std::string> order{"Aorta", "Herz", "Lunge"};
  struct Case {
    const char* current;
    bool forward;
    int expected;
  };
  for (const Case c : {Case{"", true, 0}, Case{"", false, 2}, Case{"herz", true, 2},
                       Case{"HERZ", false, 0}, Case{"Lunge", true, -1}, Case{"Aorta", false, -1},
                       Case{"Milz", true, 0}, Case{"Milz", false, 2}}) {
    EXPECT_EQ(StepFrom(order, c.current, c.forward), c.expected) << c.current << c.forward;
  }
  EXPECT_EQ(StepFrom({}, "", true), -1);
}

TEST(ImageAccess, FileNamesFormatsAndTheNameBand) {
  EXPECT_EQ(PictureFormatOf("/tmp/a.PNG"), PictureFormat::Png);
  EXPECT_EQ(PictureFormatOf("/tmp/a.Jpeg"), PictureFormat::Jpeg);
  EXPECT_EQ(PictureFormatOf("/tmp/a.png/b"), PictureFormat::Unknown);
  EXPECT_EQ(WithPictureExtension("/tmp/bild"), "/tmp/bild.png");
  EXPECT_EQ(WithPictureExtension("/tmp/bild.gif"), "/tmp/bild.gif.png");
  EXPECT_EQ(WithPictureExtension("/tmp/bild.jpg"), "/tmp/bild.jpg");
  EXPECT_EQ(PictureFileNameFor("Kopf: C3/C4 \xDC"
                               "bersicht"),
            "Kopf_ C3_C4 \xDC"
            "bersicht.png");
  EXPECT_EQ(PictureFileNameFor(".."), "Bild.png");
  EXPECT_EQ(PictureFileNameFor(""), "Bild.png");

  const NameBand band = LayOutNameBand(300, 200, 16);
  EXPECT_EQ(band.band, (Rect{0, 176, 300, 24}));
  EXPECT_EQ(band.text, (Rect{4, 176, 292, 24}));
  EXPECT_EQ(LayOutNameBand(300, 10, 16).band, (Rect{0, 0, 300, 10}));  // never taller
  EXPECT_TRUE(LayOutNameBand(6, 200, 16).band.Empty());

  EXPECT_EQ(NameBandText({"Aorta", "", "Lunge"}, false, false), "Aorta / Lunge");
  EXPECT_EQ(NameBandText({"Aorta"}, true, false), "");
  EXPECT_EQ(NameBandText({"Aorta"}, false, true), "");
}

}  // namespace
}  // namespace ostrelin
