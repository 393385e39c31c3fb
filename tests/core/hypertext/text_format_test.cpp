// The hypertext format: where texts lie, how source lines become paragraphs, and how a display
// line falls into segments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hypertext/core/text_format.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::TempTree;
using test::WithCrLf;

std::vector<Segment> Scan(std::string_view line, ScanState& state) {
  std::vector<Segment> segments;
  ScanLine(line, state, [&](const Segment& s) { segments.push_back(s); });
  return segments;
}

std::vector<Segment> Scan(std::string_view line) {
  ScanState fresh;
  return Scan(line, fresh);
}

TEST(TextPathTest, DirectoryFollowsImageTypeAndInvisibleTextIsFixed) {
  const std::string data = "D:\\ATLAS\\";
  EXPECT_EQ(TextPath(data, "herz.txt", true, kSchnitt), "D:\\ATLAS\\Texte\\Schnitt\\herz.txt");
  EXPECT_EQ(TextPath(data, "herz.txt", true, kMR), "D:\\ATLAS\\Texte\\MRT\\herz.txt");
  EXPECT_EQ(TextPath(data, "herz.txt", true, kCT), "D:\\ATLAS\\Texte\\CT\\herz.txt");
  EXPECT_EQ(TextPath(data, "herz.txt", true, kSchema), "D:\\ATLAS\\Texte\\Schema\\herz.txt");
  EXPECT_EQ(TextPath(data, "herz.txt", true, kNoImageType), "D:\\ATLAS\\Texte\\Other\\herz.txt");
  EXPECT_EQ(TextPath(data, "herz.txt", true, 7), "D:\\ATLAS\\Texte\\Other\\herz.txt");
  for (ImageType type : {kNoImageType, kSchnitt, kCT}) {
    EXPECT_EQ(TextPath(data, "herz.txt", false, type), "D:\\ATLAS\\Texte\\Other\\_KEINTXT.TXT");
  }
  EXPECT_EQ(NoObjectTextName(), "_KEINOBJ.TXT");
}

TEST(SegmentScannerTest, PageLinkWithHiddenTargetThenPlainText) {
  const auto s = Scan("#/L:Herzkammer{Ventriculus cordis}# rechts");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].kind, SegmentKind::PageLink);
  EXPECT_EQ(s[0].shown, "Herzkammer");
  EXPECT_EQ(s[0].target, "Ventriculus cordis");
  EXPECT_TRUE(s[0].bracesWithin);
  EXPECT_EQ(SegmentColour(s[0].kind), (Rgb{0, 0, 255}));
  EXPECT_EQ(s[1].kind, SegmentKind::Plain);
  EXPECT_EQ(s[1].shown, " rechts");
  EXPECT_EQ(SegmentColour(s[1].kind), (Rgb{0, 0, 0}));
}

TEST(SegmentScannerTest, TextAfterTheClosingBraceIsShownInTheLink) {
  const auto s = Scan("#/L:linke{Arteria} Seite#");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].shown, "linke Seite");
  EXPECT_EQ(s[0].target, "Arteria");
  EXPECT_EQ(s[1].kind, SegmentKind::Plain);
  EXPECT_EQ(s[1].shown, "");
}

TEST(SegmentScannerTest, MediaLinkAndUnknownCode) {
  const auto media = Scan("#/M:Herzt\xF6ne{HERZ.WAV}#");
  EXPECT_EQ(media[0].kind, SegmentKind::MediaLink);
  EXPECT_EQ(media[0].shown, "Herzt\xF6ne");
  EXPECT_EQ(media[0].target, "HERZ.WAV");
  EXPECT_EQ(SegmentColour(SegmentKind::MediaLink), (Rgb{255, 0, 0}));
  EXPECT_EQ(SegmentColour(SegmentKind::StructureLink), (Rgb{0, 128, 0}));

  const auto unknown = Scan("#/X:abc#");
  EXPECT_EQ(unknown[0].kind, SegmentKind::Plain);
  EXPECT_EQ(unknown[0].shown, "/X:abc");
}

TEST(SegmentScannerTest, CodesHeadingBoldStructureAndTheStartOfAText) {
  const auto s = Scan("vorher#/H:Kopf#/B:fett#/P:Aorta#");
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(s[0].kind, SegmentKind::None);  // nothing open at the start of a text
  EXPECT_FALSE(s[0].afterCode);
  EXPECT_EQ(s[1].kind, SegmentKind::Heading);
  EXPECT_EQ(s[1].shown, "Kopf");
  EXPECT_EQ(s[2].kind, SegmentKind::Bold);
  EXPECT_EQ(s[3].kind, SegmentKind::StructureLink);
  EXPECT_EQ(s[3].target, "");  // no braces: the shown text is the target
  EXPECT_TRUE(s[4].afterCode);
}

TEST(SegmentScannerTest, KindAndOpenTargetCarryOverLineEndsAndHashes) {
  ScanState state;
  auto first = Scan("#/L:Herz{Ventriculus", state);
  EXPECT_EQ(first[0].shown, "Herz");
  EXPECT_EQ(first[0].target, "Ventriculus");
  EXPECT_FALSE(first[0].bracesWithin);
  EXPECT_TRUE(state.targetOpen);
  EXPECT_EQ(state.kind, SegmentKind::PageLink);

  // Plain text keeps its braces and leaves the target open; the next link segment closes it.
  auto second = Scan("cordis#x}y#/L:rest}shown#", state);
  ASSERT_EQ(second.size(), 4u);
  EXPECT_EQ(second[0].kind, SegmentKind::PageLink);
  EXPECT_FALSE(second[0].afterCode);
  EXPECT_EQ(second[0].shown, "");
  EXPECT_EQ(second[0].target, "cordis");
  EXPECT_EQ(second[1].shown, "x}y");
  EXPECT_EQ(second[2].shown, "shown");
  EXPECT_EQ(second[2].target, "rest");
  EXPECT_FALSE(second[2].bracesWithin);
  EXPECT_FALSE(state.targetOpen);
  EXPECT_EQ(state.kind, SegmentKind::Plain);
}

TEST(SegmentScannerTest, DoubleHashEndsALinkWithAnEmptyPlainSegment) {
  ScanState state;
  const auto s = Scan("#/L:Herz##weiter", state);
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[1].kind, SegmentKind::Plain);
  EXPECT_EQ(s[1].shown, "");
  EXPECT_EQ(s[2].shown, "weiter");
  EXPECT_TRUE(Scan("").empty());
}

TEST(TextSourceTest, DropsCrAndEmptyLinesAndClassifiesHeadings) {
  TextSource source = TextSource::FromBytes(WithCrLf("#/H:Herz\n\n\nDer Text /H: mitten\nEnde"));
  std::vector<SourceLine> lines;
  for (SourceLine line; source.Next(line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "#/H:Herz");
  EXPECT_TRUE(lines[0].heading);
  EXPECT_TRUE(lines[1].heading);  // "/H:" anywhere
  EXPECT_EQ(lines[2].text, "Ende");
  EXPECT_FALSE(lines[2].heading);
}

TEST(TextSourceTest, LongLineKeepsItsFirst4998CharactersAndMissingFileGivesOneHeading) {
  TextSource source = TextSource::FromBytes(std::string(6000, 'a') + "\nb\n");
  SourceLine line;
  ASSERT_TRUE(source.Next(line));
  EXPECT_EQ(line.text.size(), 4998u);
  ASSERT_TRUE(source.Next(line));
  EXPECT_EQ(line.text, "b");

  TempTree tree;
  const std::string path = tree.DataPath() + "Texte\\CT\\fehlt.txt";
  TextSource missing = TextSource::Open(path);
  EXPECT_FALSE(missing.opened());
  ASSERT_TRUE(missing.Next(line));
  EXPECT_EQ(line.text, "#/H:Datei nicht gefunden: [" + path + "] !?!#");
  EXPECT_TRUE(line.heading);
  EXPECT_FALSE(missing.Next(line));

  tree.Write("texte/ct/DA.TXT", "x\r\n");
  TextSource found = TextSource::Open(tree.DataPath() + "Texte\\CT\\da.txt");
  EXPECT_TRUE(found.opened());
  ASSERT_TRUE(found.Next(line));
  EXPECT_EQ(line.text, "x");
}

// Keeps every paragraph whole, to see the forming alone.
class Collector : public ParagraphFormer::Handler {
 public:
  void HeadingParagraph(std::string_view text) override { out.push_back("H:" + std::string(text)); }
  void BodyParagraph(std::string_view text) override { out.push_back("B:" + std::string(text)); }
  std::string OpenParagraphGrew(std::string open) override { return open; }
  std::vector<std::string> out;
};

std::vector<std::string> Form(const std::vector<std::string>& lines, std::string* open = nullptr) {
  Collector collector;
  ParagraphFormer former(collector);
  for (const std::string& text : lines) former.Add(SourceLine{text, IsHeadingLine(text)});
  if (open) *open = former.open();
  return collector.out;
}

TEST(ParagraphFormerTest, BodyLinesJoinWithOneBlankAndDollarBreaks) {
  std::string open;
  EXPECT_EQ(Form({"Die Aorta   ", "", "entspringt$", "dem Herzen", "links"}, &open),
            (std::vector<std::string>{"B:Die Aorta entspringt"}));
  EXPECT_EQ(open, "dem Herzen links");

  EXPECT_EQ(Form({"a$$  b$"}, &open), (std::vector<std::string>{"B:a", "B:", "B:b"}));
  EXPECT_EQ(open, "");
  // Tabs are not trimmed; only blanks.
  Form({"a\t ", "b"}, &open);
  EXPECT_EQ(open, "a\t b");
}

TEST(ParagraphFormerTest, HeadingsStandAloneLoseDollarsAndCompleteTheOpenParagraph) {
  std::string open;
  EXPECT_EQ(Form({"vorher", "#/H:Aorta$ und$mehr", "nachher"}, &open),
            (std::vector<std::string>{"B:vorher", "H:#/H:Aorta undmehr"}));
  EXPECT_EQ(open, "nachher");
  // A "$" at the end of a line leaves nothing open, so the heading completes no empty paragraph.
  EXPECT_EQ(Form({"Ende$", "#/H:Titel"}), (std::vector<std::string>{"B:Ende", "H:#/H:Titel"}));
  EXPECT_EQ(Form({"text /H: inside"}), (std::vector<std::string>{"H:text /H: inside"}));
}

}  // namespace
}  // namespace ostrelin
