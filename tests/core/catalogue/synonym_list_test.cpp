// The synonym list: its line rules and the replacement of synonyms inside a text.
#include <gtest/gtest.h>

#include "catalogue/core/synonym_list.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

std::vector<std::pair<std::string, std::string>> Pairs(const SynonymList& list) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (size_t i = 0; i < list.Count(); ++i)
    pairs.emplace_back(list.Synonym(i), list.Replacement(i));
  return pairs;
}

TEST(SynonymList, LinesGiveTrimmedPairsInCapitalsInFileOrder) {
  SynonymList list;
  list.AddText(
      test::WithCrLf("Herz # Cor\n"
                     "\t##Leber ### Hepar # third field # fourth\n"
                     "/Magen#Gaster\n"  // no comment syntax: "/" is part of the synonym
                     "m\xFC"
                     "ndung # Ostium\xDF\n"  // only a-z become capitals
                     "last#line"));          // no final line break
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(Pairs(list), (std::vector<P>{{"HERZ", "COR"},
                                         {"LEBER", "HEPAR"},
                                         {"/MAGEN", "GASTER"},
                                         {"M\xFCNDUNG", "OSTIUM\xDF"},
                                         {"LAST", "LINE"}}));
}

TEST(SynonymList, IncompleteLinesAreSkipped) {
  SynonymList list;
  list.AddText("Herz\n###\n\n  \t \n# # Cor\nNiere #  \t\n   #Ren\nA#B\n");
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Synonym(0), "A");
  EXPECT_EQ(list.Replacement(0), "B");
}

TEST(SynonymList, LongLinesAreCutByTheLineBufferNotSplit) {
  SynonymList list;
  // 4998 bytes fit the buffer; the rest of the line must not come back as a line of its own.
  std::string line = "Kurz#Lang" + std::string(4998, 'x') + "#Tail#Rest\n";
  list.AddText(line + "Zwei#Beide\n");
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.Synonym(0), "KURZ");
  EXPECT_EQ(list.Replacement(0).size(), 4998u - 5u);
  EXPECT_EQ(list.Synonym(1), "ZWEI");
}

TEST(SynonymList, MissingFileLeavesTheListEmpty) {
  test::TempTree tree;
  SynonymList list;
  EXPECT_FALSE(list.Load(tree.Root() / "SYNONYMS.LST"));
  EXPECT_EQ(list.Count(), 0u);
  tree.Write("SYNONYMS.LST", "Herz # Cor\r\n");
  EXPECT_TRUE(list.Load(tree.Root() / "SYNONYMS.LST"));
  EXPECT_EQ(list.Count(), 1u);
}

TEST(ReplaceSynonym, ReplacesEveryOccurrenceOnceLeavingTheRestWhole) {
  struct Case {
    const char* text;
    const char* synonym;
    const char* replacement;
    size_t count;
    const char* out;
  };
  const Case cases[] = {
      {"LINKES HERZ", "HERZ", "COR", 1, "LINKES COR"},
      {"HERZHERZ UND HERZ", "HERZ", "COR", 3, "CORCOR UND COR"},
      // The replacement contains the synonym: it is not searched again.
      {"AA", "A", "AA", 2, "AAAA"},
      // Overlapping occurrences are taken from the left.
      {"AAA", "AA", "B", 1, "BA"},
      // Case must match exactly.
      {"Herz", "HERZ", "COR", 0, "Herz"},
      {"HERZ", "", "COR", 0, "HERZ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string out = "left over";
    EXPECT_EQ(ReplaceSynonym(c.text, c.synonym, c.replacement, out), c.count);
    EXPECT_EQ(out, c.out);
  }
}

}  // namespace
}  // namespace ostrelin
