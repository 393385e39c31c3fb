// The cross-reference list "Objekte.LST": which lines become pairs, and the lookup.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "catalogue/core/cross_reference_list.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::TempTree;
using test::WithCrLf;

// Every key with its entries, in list order.
using KeyedEntries = std::vector<std::pair<std::string, std::string>>;
KeyedEntries Pairs(const CrossReferenceList& list) {
  KeyedEntries pairs;
  for (size_t i = 0; i < list.Count(); ++i) pairs.emplace_back(list.KeyAt(i), list.EntriesAt(i));
  return pairs;
}

std::string Find(const CrossReferenceList& list, std::string_view name) {
  std::string buffer = "left over from before";
  list.Lookup(name, buffer);
  return buffer;
}

TEST(CrossReferenceList, KeyIsBeforeTheFirstHashAndEntriesKeepEverythingAfterIt) {
  CrossReferenceList list;
  list.AddList(
      WithCrLf("Herz#Aorta&Lunge\n"
               "\tLeber \t#  Galle#Blase & Pfortader\t \n"));
  EXPECT_EQ(Pairs(list),
            (KeyedEntries{{"Herz", "Aorta&Lunge"}, {"Leber", "Galle#Blase & Pfortader"}}));
}

TEST(CrossReferenceList, MalformedLinesAndCommentsAreSkipped) {
  CrossReferenceList list;
  list.AddList(
      WithCrLf("/Herz#Kommentar\n"
               "\n"
               "#Niere#ohne Schl\xFC"
               "ssel\n"
               "   #Milz\n"
               "Magen#  \t\n"
               "Darm ohne Raute\n"
               " /Hals#Kehlkopf\n"
               "Ende#ja\n"));
  // A blank before the slash makes it an ordinary line whose key starts with the slash.
  EXPECT_EQ(Pairs(list), (KeyedEntries{{"/Hals", "Kehlkopf"}, {"Ende", "ja"}}));
}

TEST(CrossReferenceList, LookupFoldsOnlyAsciiLettersAndTheFirstKeyWins) {
  CrossReferenceList list;
  list.AddList(
      WithCrLf("M. biceps brachii#Humerus\n"
               "\xC4"
               "u\xDF"
               "eres Ohr#Ohrmuschel\n"  // Äußeres Ohr
               "Herz#erste\n"
               "HERZ#zweite\n"));
  EXPECT_EQ(Find(list, "m. BICEPS Brachii"), "Humerus");
  EXPECT_EQ(Find(list,
                 "\xC4"
                 "U\xDF"
                 "ERES OHR"),
            "Ohrmuschel");
  EXPECT_EQ(Find(list,
                 "\xE4"
                 "u\xDF"
                 "eres Ohr"),
            "");  // ä is not Ä
  EXPECT_EQ(Find(list, "herz"), "erste");
  EXPECT_EQ(Find(list, "Herz "), "");
  EXPECT_EQ(Find(list, ""), "");
}

TEST(CrossReferenceList, OverlongKeysAreSkippedAndOverlongLinesCut) {
  const std::string longestKey(CrossReferenceList::kMaxKey, 'k');
  const std::string tooLongKey(CrossReferenceList::kMaxKey + 1, 'k');
  const std::string longEntries(6000, 'e');
  CrossReferenceList list;
  list.AddList(WithCrLf(longestKey + "#gerade noch\n" + tooLongKey + "#zu lang\n" + "Lang#" +
                        longEntries + "\nNach#folgt\n"));
  EXPECT_EQ(Find(list, longestKey), "gerade noch");
  EXPECT_EQ(Find(list, tooLongKey), "");
  // The line keeps its first 4998 bytes; its rest is no line of its own.
  const std::string lang = Find(list, "Lang");
  EXPECT_EQ(lang, std::string(4998 - 5, 'e'));
  EXPECT_LT(lang.size(), CrossReferenceList::kEntriesBuffer);
  EXPECT_EQ(Find(list, "Nach"), "folgt");
  EXPECT_EQ(list.Count(), 3u);
}

TEST(CrossReferenceList, LoadReadsTheDataTreeFileAndAppends) {
  TempTree tree;
  tree.Write("DATEN/objekte.lst", WithCrLf("Herz#Aorta\n"));
  CrossReferenceList list;
  list.AddList("Vorher#da\n");
  list.Load(tree.DataPath());
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(Find(list, "vorher"), "da");
  EXPECT_EQ(Find(list, "HERZ"), "Aorta");
}

TEST(CrossReferenceList, AMissingFileLeavesTheListAsItWas) {
  TempTree tree;
  CrossReferenceList list;
  list.Load(tree.DataPath());
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(Find(list, "Herz"), "");
  tree.MakeDir("Daten/Objekte.LST");  // a folder where the file should be
  list.Load(tree.DataPath());
  EXPECT_EQ(list.Count(), 0u);
}

}  // namespace
}  // namespace ostrelin
