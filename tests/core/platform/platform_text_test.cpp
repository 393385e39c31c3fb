// Windows-1252 conversion, string helpers, the line reader and the list-line splitter.
#include <gtest/gtest.h>

#include "platform/core/cp1252.h"
#include "platform/core/list_file.h"
#include "platform/core/runtime_random.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"

namespace ostrelin {
namespace {

std::vector<std::string> AllLines(std::string bytes, size_t buffer = TextReader::kLineBuffer) {
  TextReader reader(std::move(bytes), buffer);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  return lines;
}

TEST(Cp1252, EveryByteSurvivesTheRoundTripThroughUtf16AndUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += char(b);
  EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, GermanLettersAndTheEuroSignMapToTheirCodePoints) {
  EXPECT_EQ(Cp1252ToUtf8("Aufl\xF6sung \xC4 \xDF \x80"), "Auflösung Ä ß €");
  EXPECT_EQ(Cp1252ToUtf16("\x9F"), u"\u0178");
  EXPECT_EQ(Utf8ToCp1252("Übersicht"),
            "\xDC"
            "bersicht");
}

TEST(Cp1252, CharactersOutsideTheCodePageAndBrokenUtf8BecomeTheReplacement) {
  EXPECT_EQ(Utf8ToCp1252("a\xE2\x88\x9E"
                         "b"),
            "a?b");                                  // ∞
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");            // cut sequence
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");         // overlong "/"
  EXPECT_EQ(Utf16ToCp1252(u"x\U0001F600y"), "x?y");  // surrogate pair
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));         // surrogate
  EXPECT_TRUE(
      IsValidUtf8("Schl\xC3\xA4"
                  "fe"));
}

TEST(Cp1252, FileNameFoldingCoversAccentedLettersButNotSharpS) {
  EXPECT_EQ(FoldCp1252('a'), 'A');
  EXPECT_EQ(FoldCp1252(0xE4), 0xC4);  // ä
  EXPECT_EQ(FoldCp1252(0xDF), 0xDF);  // ß
  EXPECT_EQ(FoldCp1252(0xF7), 0xF7);  // ÷
}

TEST(Strings, TrimRemovesOnlyBlanksAndTabsAtTheEnds) {
  std::string s = " \t Hirn stamm\t ";
  Trim(s);
  EXPECT_EQ(s, "Hirn stamm");
  s = " \t\t ";
  Trim(s);
  EXPECT_EQ(s, "");
  s = "\r\nx\r";
  Trim(s);
  EXPECT_EQ(s, "\r\nx\r");
}

TEST(Strings, EndsWithIsCaseSensitive) {
  EXPECT_TRUE(EndsWith("Herz (CT)", " (CT)"));
  EXPECT_FALSE(EndsWith("Herz (CT)", " (ct)"));
  EXPECT_FALSE(EndsWith("CT)", " (CT)"));
}

TEST(Strings, FindTextCountsFromOne) {
  EXPECT_EQ(FindText("Leber", "Le"), 1u);
  EXPECT_EQ(FindText("Leber", "ber"), 3u);
  EXPECT_EQ(FindText("Leber", "Milz"), 0u);
  EXPECT_EQ(FindText("", "x"), 0u);
}

TEST(Strings, InRangeIncludesBothBounds) {
  EXPECT_TRUE(InRange(4, 4, 10));
  EXPECT_TRUE(InRange(10, 4, 10));
  EXPECT_FALSE(InRange(11, 4, 10));
  EXPECT_FALSE(InRange(5, 10, 4));
}

TEST(Strings, NameComparisonFoldsOnlyAsciiLetters) {
  EXPECT_TRUE(EqualsAsciiNoCase("Start", "START"));
  EXPECT_FALSE(
      EqualsAsciiNoCase("\xC4"
                        "rmel",
                        "\xE4"
                        "rmel"));             // Ä vs ä
  EXPECT_FALSE(EqualsAsciiNoCase("@", "`"));  // 0x40 vs 0x60: not letters
  EXPECT_FALSE(EqualsAsciiNoCase("ab", "abc"));
}

TEST(Strings, CutToBufferKeepsRoomForTheTerminator) {
  EXPECT_EQ(CutToBuffer(std::string(600, 'x'), 512).size(), 511u);
  EXPECT_EQ(CutToBuffer("abc", 512), "abc");
  EXPECT_EQ(CutToBuffer("abc", 0), "");
}

TEST(RuntimeRandom, ReproducesTheClassicSequenceAndStaysIn15Bits) {
  RuntimeRandom random(1);
  EXPECT_EQ(random.Next(), 41);
  EXPECT_EQ(random.Next(), 18467);
  EXPECT_EQ(random.Next(), 6334);
  random.Seed(12345);
  for (int i = 0; i < 10000; ++i) ASSERT_TRUE(InRange(random.Next(), 0, RuntimeRandom::kMax));
}

TEST(RuntimeRandom, RandomBelowIsTheNextNumberModuloTheBound) {
  RuntimeRandom a(7), b(7);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(RandomBelow(a, 13), b.Next() % 13);
  EXPECT_EQ(RandomBelow(a, 0), 0);
  EXPECT_EQ(RandomBelow(a, -5), 0);
}

TEST(TextReader, AcceptsCrLfAndLfAndAMissingFinalBreak) {
  EXPECT_EQ(AllLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(AllLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(AllLines(""), std::vector<std::string>{});
  EXPECT_EQ(AllLines("a\rb\r"), (std::vector<std::string>{"a\rb\r"}));  // lone CR stays
}

TEST(TextReader, CtrlZEndsTheTextAndNulEndsTheLine) {
  EXPECT_EQ(AllLines("a\r\nb\x1A\r\nc\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(AllLines(std::string("ab\0cd\nef", 8)), (std::vector<std::string>{"ab", "ef"}));
}

TEST(TextReader, AnOverlongLineIsCutAndItsRestDropped) {
  const std::string longLine(6000, 'x');
  const auto lines = AllLines(longLine + "\r\nnext\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 4998u);
  EXPECT_EQ(lines[1], "next");
  // Exactly at the buffer's capacity nothing is lost, and the CR LF does not count.
  const auto fits = AllLines(std::string(4998, 'y') + "\r\nz");
  ASSERT_EQ(fits.size(), 2u);
  EXPECT_EQ(fits[0].size(), 4998u);
}

struct SplitCase {
  const char* line;
  std::vector<std::string> fields;
  friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }
};

class SplitListFieldsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitListFieldsTest, Splits) {
  EXPECT_EQ(SplitListFields(GetParam().line), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitListFieldsTest,
    testing::Values(SplitCase{"a#b#c", {"a", "b", "c"}},
                    SplitCase{"  a  #\tb\t# c ", {"a", "b", "c"}},
                    SplitCase{"a##b", {"a", "b"}},       // a run of separators is one
                    SplitCase{"#a#b#", {"a", "b"}},      // none at the ends
                    SplitCase{"a# #b", {"a", "", "b"}},  // a blank field becomes empty
                    SplitCase{"###", {}}, SplitCase{"", {}},
                    SplitCase{"one field", {"one field"}}));

TEST(ReadListLine, SkipsCommentsAndEmptyLinesAfterTrimming) {
  TextReader reader("/ comment\r\n   / indented comment\r\n\t \r\nx#y\r\n  z  \r\n");
  std::vector<std::string> fields;
  ASSERT_TRUE(ReadListLine(reader, fields));
  EXPECT_EQ(fields, (std::vector<std::string>{"x", "y"}));
  ASSERT_TRUE(ReadListLine(reader, fields));
  EXPECT_EQ(fields, (std::vector<std::string>{"z"}));
  EXPECT_FALSE(ReadListLine(reader, fields));
}

}  // namespace
}  // namespace ostrelin
