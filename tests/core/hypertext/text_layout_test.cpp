// Laying out hypertext into display lines, the scroll range and the hit test, measured with fixed
// and proportional character widths.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "hypertext/core/text_layout.h"
#include "tests/support/text_measurers.h"

namespace ostrelin {
namespace {

using test::FixedWidthMeasurer;
using test::ProportionalMeasurer;

// With 10 pixels a character, a client width of 10 * n + 26 lets exactly n characters fit.
constexpr int WidthFor(int characters) { return 10 * characters + 26; }

const LineHeights kMedium = HeightsForFontSize(2);

TextLayout Lay(const std::string& text, int clientWidth, int clientHeight = 400,
               bool visible = true, const TextMeasurer& measurer = FixedWidthMeasurer()) {
  TextSource source = TextSource::FromBytes(text);
  return LayOutText(source, measurer, kMedium, clientWidth, clientHeight, visible);
}

std::vector<std::string> Pieces(std::string_view text, int characters) {
  FixedWidthMeasurer measurer;
  std::vector<std::string> pieces;
  Wrapper(measurer, WidthFor(characters)).Wrap(text, pieces);
  return pieces;
}

TEST(WrapperTest, FitRuleCountsOnlyShownTextInItsFonts) {
  FixedWidthMeasurer measurer(10, 15);
  const Wrapper wrapper(measurer, WidthFor(10));
  EXPECT_TRUE(wrapper.Fits("0123456789"));
  EXPECT_FALSE(wrapper.Fits("0123456789A"));
  EXPECT_TRUE(wrapper.Fits("#/L:0123456789{hidden target}#"));
  EXPECT_FALSE(wrapper.Fits("#/H:0123456789"));                         // heading font is wider
  EXPECT_EQ(MeasureLine(measurer, "ab{c}#/P:x{y}z"), 10 * 5 + 10 * 2);  // braces plain at start
}

TEST(WrapperTest, BreaksAtTheLastBlankThatFitsAndNeverCutsShortTexts) {
  EXPECT_EQ(Pieces("Die Arteria carotis communis verzweigt sich", 30),
            (std::vector<std::string>{"Die Arteria carotis communis", "verzweigt sich"}));
  // A word of 60 characters is cut after its 20th character, though 40 would fit.
  const std::string word(60, 'x');
  EXPECT_EQ(Pieces(word, 40),
            (std::vector<std::string>{std::string(20, 'x'), std::string(40, 'x')}));
  // 20 characters or fewer are never cut, even where nothing fits.
  EXPECT_EQ(Pieces("zwanzig Zeichen lang", 5), (std::vector<std::string>{"zwanzig Zeichen lang"}));
  EXPECT_EQ(Pieces("", 5), (std::vector<std::string>{""}));
  // Blanks within the first 20 characters are no place to cut.
  EXPECT_EQ(Pieces("a b c d e f g h i j k l m n o", 22),
            (std::vector<std::string>{"a b c d e f g h i j k", "l m n o"}));
}

TEST(LayoutTest, ParagraphsHeadingsAndTheEndOfFileLine) {
  const TextLayout layout =
      Lay("#/H:Aorta$\r\nDie Aorta\r\n\r\nentspringt$\r\ndem Herzen\r\n", WidthFor(60));
  ASSERT_EQ(layout.lines.size(), 3u);
  EXPECT_EQ(layout.lines[0], "#/H:Aorta");
  EXPECT_EQ(layout.lines[1], "Die Aorta entspringt");
  EXPECT_EQ(layout.lines[2], "dem Herzen");
  EXPECT_EQ(layout.tops, (std::vector<int64_t>{0, 24, 24 + 16 + 16}));  // one body line lower
  EXPECT_EQ(layout.end, 40);
}

TEST(LayoutTest, EmptyParagraphIsAnEmptyLineAndWrappedPiecesAdvance) {
  const TextLayout layout =
      Lay("eins$$zwei$\nDie Arteria carotis communis verzweigt sich$", WidthFor(30));
  EXPECT_EQ(layout.lines,
            (std::vector<std::string>{"eins", "", "zwei", "Die Arteria carotis communis",
                                      "verzweigt sich"}));
  EXPECT_EQ(layout.tops, (std::vector<int64_t>{0, 16, 32, 48, 64}));
}

TEST(LayoutTest, EmptyTextAndMissingFile) {
  for (const char* text : {"", "\r\n\r\n\n"}) {
    const TextLayout layout = Lay(text, WidthFor(30));
    EXPECT_EQ(layout.lines, (std::vector<std::string>{"Leerer Text"}));
    EXPECT_EQ(layout.tops, (std::vector<int64_t>{16}));
    EXPECT_EQ(layout.scrollMaximum, 0);
  }
  TextSource missing = TextSource::Open("/nirgends/Texte/CT/x.txt");
  const TextLayout layout =
      LayOutText(missing, FixedWidthMeasurer(), kMedium, WidthFor(200), 400, true);
  ASSERT_EQ(layout.lines.size(), 1u);
  EXPECT_EQ(layout.lines[0], "#/H:Datei nicht gefunden: [/nirgends/Texte/CT/x.txt] !?!#");
}

std::string BodyLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "Zeile " + std::to_string(i) + "$\r\n";
  return text;
}

TEST(LayoutTest, ScrollMaximumShowsTheLastRegularLineWithinTheWindow) {
  const TextLayout layout = Lay(BodyLines(20), WidthFor(40), 100);  // 20 lines of 16 pixels
  EXPECT_EQ(layout.end, 320);
  EXPECT_EQ(layout.scrollMaximum, 14);
  EXPECT_LT(layout.end - layout.tops[14], 100);
  EXPECT_GE(layout.end - layout.tops[13], 100);

  EXPECT_EQ(Lay(BodyLines(20), WidthFor(40), 100, false).scrollMaximum, 0);  // invisible
  EXPECT_EQ(Lay(BodyLines(3), WidthFor(40), 400).scrollMaximum, 1);
  // A window lower than one line: the maximum stays on the last line instead of past it.
  const TextLayout tall = Lay(BodyLines(3), WidthFor(40), 10);
  EXPECT_EQ(tall.scrollMaximum, 2);
}

TEST(LayoutTest, TopsOfTextsTallerThan65535PixelsKeepGrowing) {
  const TextLayout layout = Lay(BodyLines(5000), WidthFor(40), 400);
  ASSERT_EQ(layout.lines.size(), 5000u);
  EXPECT_EQ(layout.tops.back(), 4999 * 16);
  for (size_t i = 1; i < layout.tops.size(); ++i) ASSERT_GT(layout.tops[i], layout.tops[i - 1]);
  EXPECT_EQ(layout.scrollMaximum, 5000 - 400 / 16 + 1);
}

TEST(LayoutTest, WalkStopsBelowTheWindowUnlessALinkRunsOn) {
  auto walked = [](const TextLayout& layout, size_t first) {
    size_t last = 0;
    WalkLines(layout, first, 100, kMedium, FixedWidthMeasurer(),
              [&](const PlacedSegment& placed) { last = placed.line; });
    return last;
  };
  // Lines of 16 pixels in a window of 100: the first line whose top lies more than 100 + 24
  // below the first shown one is the last one walked.
  const TextLayout plain = Lay(BodyLines(100), WidthFor(40));
  EXPECT_EQ(walked(plain, 0), 8u);
  EXPECT_EQ(walked(plain, 50), 58u);
  // A link kind carried on from an earlier line keeps the walk going to the end of the text.
  const TextLayout link = Lay("#/L:Zeile$\n" + BodyLines(100), WidthFor(40));
  EXPECT_EQ(walked(link, 0), 100u);
  const TextLayout closed = Lay("#/L:Zeile#$\n" + BodyLines(100), WidthFor(40));
  EXPECT_EQ(walked(closed, 0), 8u);
}

// Advances of 8.89 pixels, as a 14-pixel sans-serif "n": counted in 1/64 pixel they add up to
// what is drawn; rounded to 9 a character, ten of them would end a pixel beyond, and the next
// segment would start after a gap that reads as a blank ("links ,").
class FractionalMeasurer : public TextMeasurer {
 public:
  int Width(SegmentKind, std::string_view shown) const override { return int(shown.size()) * 569; }
  int Subdivision() const override { return 64; }
};

TEST(LayoutTest, SegmentsStartWhereTheFractionalWidthsBeforeThemEnd) {
  const FractionalMeasurer measurer;
  const std::string line = "#/L:nnnnnnnnnn#, nnnn";
  const TextLayout layout = Lay(line + "$", 400, 400, true, measurer);
  ASSERT_EQ(layout.lines, std::vector<std::string>{line});
  std::vector<PlacedSegment> placed;
  WalkLines(layout, 0, 400, kMedium, measurer,
            [&](const PlacedSegment& segment) { placed.push_back(segment); });
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(placed[0].x, 5);
  EXPECT_EQ(placed[0].width, 88);  // 5 + 88.9 ends at 93.9
  EXPECT_EQ(placed[1].x, 93);
  EXPECT_DOUBLE_EQ(placed[1].exactX, 5 + 10 * 569 / 64.0);
  // Fitting counts the fractions too: 5 + 88.9 < 114 - 20, but not < 113 - 20.
  EXPECT_TRUE(Wrapper(measurer, 114).Fits("nnnnnnnnnn"));
  EXPECT_FALSE(Wrapper(measurer, 113).Fits("nnnnnnnnnn"));
  // The link's box ends where the comma begins.
  EXPECT_EQ(HitTest(layout, 0, 93, 3, 400, kMedium, measurer).kind, SegmentKind::PageLink);
  EXPECT_EQ(HitTest(layout, 0, 95, 3, 400, kMedium, measurer).kind, SegmentKind::None);
}

TEST(LayoutTest, FontSizesGiveTheirHeights) {
  EXPECT_EQ(HeightsForFontSize(1).heading, 20);
  EXPECT_EQ(HeightsForFontSize(1).body, 12);
  EXPECT_EQ(HeightsForFontSize(2).heading, 24);
  EXPECT_EQ(HeightsForFontSize(2).body, 16);
  EXPECT_EQ(HeightsForFontSize(3).body, 20);
  EXPECT_EQ(HeightsForFontSize(0).heading, 30);
}

// Random texts with every kind of markup, blanks in runs, long words, braces that open on one line
// and close on another.
std::string RandomText(std::mt19937& random) {
  static const char* const kParts[] = {"Arteria",
                                       "carotis",
                                       "communis",
                                       "#/L:",
                                       "#/P:",
                                       "#/M:",
                                       "#/B:",
                                       "#/H:",
                                       "#",
                                       "{",
                                       "}",
                                       "$",
                                       " ",
                                       "  ",
                                       "Ventriculus",
                                       "x",
                                       "Herzt\xF6ne",
                                       "Donaudampfschifffahrtsgesellschaft",
                                       "#/L:Herz{Cor}#",
                                       "#/X:",
                                       "\r\n",
                                       "\n",
                                       "\n\n",
                                       "iiiiiiii",
                                       "mmmmmmmmmmmmm"};
  std::uniform_int_distribution<size_t> part(0, std::size(kParts) - 1);
  std::uniform_int_distribution<int> length(1, 400);
  std::string text;
  for (int n = length(random); n > 0; --n) {
    text += kParts[part(random)];
    if (part(random) < 12) text += ' ';
  }
  return text;
}

TEST(LayoutTest, FastWrappingGivesTheLinesOfTheStepwiseRule) {
  std::mt19937 random(8);
  const FixedWidthMeasurer fixed(7, 11);
  const ProportionalMeasurer proportional;
  for (int round = 0; round < 300; ++round) {
    const std::string text = RandomText(random);
    const int width = std::uniform_int_distribution<int>(10, 700)(random);
    for (const TextMeasurer* measurer : {static_cast<const TextMeasurer*>(&fixed),
                                         static_cast<const TextMeasurer*>(&proportional)}) {
      TextSource fastSource = TextSource::FromBytes(text);
      TextSource stepSource = TextSource::FromBytes(text);
      const TextLayout fast = LayOutText(fastSource, *measurer, kMedium, width, 300, true);
      const TextLayout step =
          LayOutText(stepSource, *measurer, kMedium, width, 300, true, WrapMethod::Stepwise);
      ASSERT_EQ(fast.lines, step.lines) << "width " << width << " text: " << text;
      ASSERT_EQ(fast.tops, step.tops);
    }
  }
}

TEST(ScrollTest, CodesMoveByLinesAndPagesOfThreeWithinTheRange) {
  EXPECT_EQ(ScrollTarget(ScrollCode::LineDown, 4, 10), 5);
  EXPECT_EQ(ScrollTarget(ScrollCode::LineUp, 0, 10), 0);
  EXPECT_EQ(ScrollTarget(ScrollCode::PageDown, 4, 10), 7);
  EXPECT_EQ(ScrollTarget(ScrollCode::PageDown, 9, 10), 10);
  EXPECT_EQ(ScrollTarget(ScrollCode::PageUp, 2, 10), 0);
  EXPECT_EQ(ScrollTarget(ScrollCode::Thumb, 2, 10, 8), 8);
  EXPECT_EQ(ScrollTarget(ScrollCode::Thumb, 2, 10, 80), 10);
  EXPECT_EQ(ScrollTarget(ScrollCode::Top, 6, 10), 0);
  EXPECT_EQ(ScrollTarget(ScrollCode::Bottom, 6, 10), 10);
  EXPECT_EQ(ScrollTarget(ScrollCode::Other, 6, 10), 6);
}

HitResult Hit(const TextLayout& layout, int x, int y, size_t first = 0, int height = 400) {
  return HitTest(layout, first, x, y, height, kMedium, FixedWidthMeasurer());
}

TEST(HitTestTest, LinkBoxIncludesItsEdgesAndBracedTargetReplaces) {
  const TextLayout layout = Lay("Das #/L:Herz{Cor}# schl\xE4gt", WidthFor(60));
  // "Das " is 40 pixels from x = 5; the link's shown text "Herz" spans 45 .. 85.
  // The only line is the first shown one: it is drawn at the window's top, 16 pixels high.
  EXPECT_EQ(Hit(layout, 45, 0).kind, SegmentKind::PageLink);
  EXPECT_EQ(Hit(layout, 45, 0).target, "Cor");
  EXPECT_EQ(Hit(layout, 85, 16).target, "Cor");
  EXPECT_EQ(Hit(layout, 86, 8).kind, SegmentKind::None);
  EXPECT_EQ(Hit(layout, 44, 8).kind, SegmentKind::None);
  EXPECT_EQ(Hit(layout, 60, 17).kind, SegmentKind::None);
}

TEST(HitTestTest, WrappedLinkIsGatheredFromTheHitPieceOn) {
  const TextLayout layout =
      Lay("Siehe #/L:Arteria carotis communis sinistra# und mehr$", WidthFor(30));
  ASSERT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(layout.lines[0], "Siehe #/L:Arteria carotis communis");
  const HitResult onFirst = Hit(layout, 5 + 60 + 5, 5);
  EXPECT_EQ(onFirst.kind, SegmentKind::PageLink);
  EXPECT_EQ(onFirst.target, "Arteria carotis communis sinistra");
  const HitResult onSecond = Hit(layout, 10, 16 + 5);
  EXPECT_EQ(onSecond.target, "sinistra");
  EXPECT_EQ(Hit(layout, 5 + 90, 16 + 5).kind, SegmentKind::None);  // " und mehr" is plain
}

TEST(HitTestTest, TargetInBracesRunsOverTheLineEndAndShownTextAfterItIsGatheredToo) {
  const TextLayout over =
      Lay("#/P:Aorta{Aorta ascendens und descendens}Donaudampfschifffahrtsgesellschaft#$",
          WidthFor(30));
  ASSERT_EQ(over.lines.size(), 3u);
  EXPECT_EQ(over.lines[0], "#/P:Aorta{Aorta ascendens und");
  ASSERT_EQ(over.lines[2], "fschifffahrtsgesellschaft#");
  const HitResult hit = Hit(over, 10, 5);
  EXPECT_EQ(hit.kind, SegmentKind::StructureLink);
  EXPECT_EQ(hit.target, "Aorta ascendens und descendens fschifffahrtsgesellschaft");

  // Shown text after the closed target that wraps onto the next line belongs to the link up to
  // its closing code: it is gathered after the target, joined by one blank.
  const TextLayout after = Lay("#/L:Herz{Cor} und eine sehr lange Beschreibung#$", WidthFor(30));
  ASSERT_EQ(after.lines.size(), 2u);
  EXPECT_EQ(after.lines[1], "Beschreibung#");
  EXPECT_EQ(Hit(after, 10, 5).target, "Cor Beschreibung");
  EXPECT_EQ(Hit(after, 10, 16 + 5).target, "Beschreibung");

  // A link of the same kind after the wrapped rest joins the hit one as well.
  const TextLayout joined =
      Lay("#/L:Herz{Cor} und eine sehr lange Beschreibung#/L:Kammer#$", WidthFor(30));
  ASSERT_EQ(joined.lines.size(), 2u);
  EXPECT_EQ(joined.lines[1], "Beschreibung#/L:Kammer#");
  EXPECT_EQ(Hit(joined, 10, 5).target, "Cor Beschreibung Kammer");
}

TEST(HitTestTest, BracedLinksOfOneKindDirectlyAfterEachOtherCountAsOne) {
  const TextLayout layout = Lay(
      "#/L:Herz{Cor}#/L:Kammer{Ventriculus}#$\n#/L:Vorhof{Atrium}#/L:Ohr##/L:x#$", WidthFor(60));
  ASSERT_EQ(layout.lines.size(), 2u);
  // The second link's braced target replaces what the first one gathered.
  EXPECT_EQ(Hit(layout, 10, 5).target, "Ventriculus");
  EXPECT_EQ(Hit(layout, 5 + 40 + 5, 5).target, "Ventriculus");
  // Unbraced text of the second is appended; "##" ends the joined link.
  EXPECT_EQ(Hit(layout, 10, 16 + 5).target, "Atrium Ohr");
}

TEST(HitTestTest, AdjacentLinksOfOneKindCountAsOneAndScrolledLinesUseTheirTops) {
  const TextLayout layout =
      Lay("#/L:Herz#/L:Kammer##/P:Aorta#$\nzwei$\n#/M:Ton{a.wav}#$", WidthFor(40));
  EXPECT_EQ(Hit(layout, 10, 5).target, "Herz Kammer");
  EXPECT_EQ(Hit(layout, 5 + 40 + 5, 5).target, "Kammer");
  EXPECT_EQ(Hit(layout, 5 + 100 + 5, 5).kind, SegmentKind::StructureLink);
  EXPECT_EQ(Hit(layout, 10, 5, 2).kind, SegmentKind::MediaLink);
  EXPECT_EQ(Hit(layout, 10, 5, 2).target, "a.wav");
}

}  // namespace
}  // namespace ostrelin
