// The index names: their order, the removal of duplicates, the prefix search, the synonym
// fallback and the movement keys.
#include <gtest/gtest.h>

#include <random>

#include "search/core/search_names.h"
#include "search/core/search_rules.h"

namespace ostrelin {
namespace {

std::vector<std::string> All(const SearchNames& names) {
  std::vector<std::string> all;
  for (size_t i = 0; i < names.Count(); ++i) all.push_back(names.At(i));
  return all;
}

SearchNames Filled(std::initializer_list<const char*> list) {
  SearchNames names;
  for (const char* name : list) names.Add(name);
  names.RemoveDuplicates();
  return names;
}

TEST(SearchNames, SortsIgnoringCaseAndKeepsNamesThatDifferOnlyInCase) {
  const SearchNames names =
      Filled({"aorta", "Herz", "AORTA", "Aorta", "Aorta", "Zwerchfell", "herz", "Aorta", "Arm",
              "\xD6sophagus", "\xF6sophagus", "Leber"});
  EXPECT_EQ(All(names),
            (std::vector<std::string>{"AORTA", "Aorta", "aorta", "Arm", "Herz", "herz", "Leber",
                                      "\xD6sophagus", "\xF6sophagus", "Zwerchfell"}));
}

TEST(SearchNames, AccentedLettersSortWithTheirBaseLetters) {
  // "Ä" counts as "A" until the rest of the name decides; "ß" as "SS". Nothing accented lands
  // after "Z".
  const SearchNames names = Filled({"Zunge",
                                    "\xC4u\xDF"
                                    "eres Ohr",
                                    "Apfel", "\xC4pfel", "Apfelbaum",
                                    "Au\xDF"
                                    "en",
                                    "Aussen",
                                    "\xDC"
                                    "bergang",
                                    "Uvula", "Ulna", "Fu\xDF", "Fuss", "Fuge"});
  EXPECT_EQ(All(names), (std::vector<std::string>{"Apfel", "\xC4pfel", "Apfelbaum", "Aussen",
                                                  "Au\xDF"
                                                  "en",
                                                  "\xC4u\xDF"
                                                  "eres Ohr",
                                                  "Fuge", "Fuss", "Fu\xDF",
                                                  "\xDC"
                                                  "bergang",
                                                  "Ulna", "Uvula", "Zunge"}));
  EXPECT_EQ(OrderKey("\xC6THER \x8C"
                     "DEM \xDE"),
            "AETHER OEDEM TH");
}

TEST(SearchNames, DuplicatesGoWhateverOrderTheyCameIn) {
  // Exact duplicates separated by names that differ only in case must still meet.
  std::vector<std::string> input;
  for (int i = 0; i < 50; ++i) {
    input.push_back("Aorta");
    input.push_back("AORTA");
    input.push_back("aOrta");
  }
  std::shuffle(input.begin(), input.end(), std::mt19937(7));
  SearchNames names;
  for (const std::string& name : input) names.Add(name);
  names.RemoveDuplicates();
  EXPECT_EQ(All(names), (std::vector<std::string>{"AORTA", "Aorta", "aOrta"}));
}

TEST(SearchNames, PrefixSearchFindsTheFirstEntryInAnyCase) {
  const SearchNames names = Filled({"Aorta", "Arteria", "Aortenbogen", "Herz", "m\xFCndung", "B"});
  EXPECT_EQ(names.At(names.FindPrefix("AOR")), "Aorta");
  EXPECT_EQ(names.At(names.FindPrefix("aortE")), "Aortenbogen");
  EXPECT_EQ(names.At(names.FindPrefix("M\xDC")), "m\xFCndung");  // umlauts fold as letters
  // Names that differ from the prefix only in an accent stand among its matches and are passed
  // over, in both directions.
  const SearchNames accented = Filled({"Ala", "\xC4lb", "Alc", "\xC4ld",
                                       "Fu\xDF"
                                       "sohle",
                                       "Fussel", "Fuss"});
  EXPECT_EQ(accented.At(accented.FindPrefix("\xE4L")), "\xC4lb");
  EXPECT_EQ(accented.At(accented.FindPrefix("ALC")), "Alc");
  EXPECT_EQ(accented.At(accented.FindPrefix("\xC4LD")), "\xC4ld");
  EXPECT_EQ(accented.FindPrefix("\xC4LC"), SearchNames::kNone);
  EXPECT_EQ(accented.At(accented.FindPrefix("FU\xDF")),
            "Fu\xDF"
            "sohle");
  EXPECT_EQ(accented.At(accented.FindPrefix("fuss")), "Fuss");
  EXPECT_EQ(accented.FindPrefix("FUSSS"), SearchNames::kNone);
  EXPECT_EQ(names.At(names.FindPrefix("b")), "B");
  EXPECT_EQ(names.FindPrefix("AORTAX"), SearchNames::kNone);
  EXPECT_EQ(names.FindPrefix("Zz"), SearchNames::kNone);
  EXPECT_EQ(names.FindPrefix(""), SearchNames::kNone);
  EXPECT_EQ(SearchNames().FindPrefix("A"), SearchNames::kNone);
}

TEST(SearchNames, NamesAddedLaterAreSortedInAndLongNamesCut) {
  SearchNames names = Filled({"Milz", "Herz"});
  names.Add("Leber");
  names.Add(std::string(600, 'N'));
  EXPECT_EQ(names.At(names.FindPrefix("L")), "Leber");
  EXPECT_EQ(All(names).size(), 4u);
  EXPECT_EQ(names.At(2), "Milz");
  EXPECT_EQ(names.At(3).size(), SearchNames::kMaxEntry);
}

TEST(FindForText, SynonymsTranslateOnlyWhenNothingBeginsWithTheText) {
  SynonymList synonyms;
  synonyms.AddText(
      "Herz # Cor\nm\xFC"
      "ndung#Ostium\nVorhof#Atrium\nLinks#Sinister\n");
  const SearchNames names =
      Filled({"cor", "Cor dextrum", "LINKES COR", "Ostium", "Atrium dextrum", "Herzbeutel"});
  const auto find = [&](std::string_view text) {
    const int at = FindForText(names, synonyms, text);
    return at == SearchNames::kNone ? std::string("-") : names.At(at);
  };
  EXPECT_EQ(find("HERZB"), "Herzbeutel");  // a direct hit wins over the synonym
  EXPECT_EQ(find("HERZ "), "Cor dextrum");
  EXPECT_EQ(find("LINKES HERZ"), "LINKES COR");
  // The stored synonym keeps its small umlaut; the field's capitals never match it.
  EXPECT_EQ(find("M\xDCNDUNG"), "-");
  // A synonym whose translation finds nothing lets a later one try.
  EXPECT_EQ(find("VORHOF D"), "Atrium dextrum");
  EXPECT_EQ(find("NICHTS"), "-");
  EXPECT_EQ(find(""), "-");
}

TEST(MoveSelection, MovesStopAtTheEndsAndStartFromNoSelection) {
  using namespace search_cmd;
  constexpr int kNone = SearchNames::kNone;
  // Up and Down.
  EXPECT_EQ(MoveSelection(kPrevious, 0, 50), kNone);
  EXPECT_EQ(MoveSelection(kPrevious, 5, 50), 4);
  EXPECT_EQ(MoveSelection(kPrevious, kNone, 50), kNone);
  EXPECT_EQ(MoveSelection(kNext, 48, 50), 49);
  EXPECT_EQ(MoveSelection(kNext, 49, 50), kNone);
  EXPECT_EQ(MoveSelection(kNext, kNone, 50), 0);
  // Page Up.
  EXPECT_EQ(MoveSelection(kPageUp, 21, 50), 1);
  EXPECT_EQ(MoveSelection(kPageUp, 20, 50), 0);
  EXPECT_EQ(MoveSelection(kPageUp, kNone, 50), 0);
  // Page Down: within the last 21 entries it lands on the last.
  EXPECT_EQ(MoveSelection(kPageDown, 28, 50), 48);
  EXPECT_EQ(MoveSelection(kPageDown, 29, 50), 49);
  EXPECT_EQ(MoveSelection(kPageDown, 45, 50), 49);
  EXPECT_EQ(MoveSelection(kPageDown, kNone, 50), 19);
  EXPECT_EQ(MoveSelection(kPageDown, kNone, 20), 19);
  EXPECT_EQ(MoveSelection(kPageDown, kNone, 5), 4);
  // Home and End; nothing moves in an empty list.
  EXPECT_EQ(MoveSelection(kFirst, 30, 50), 0);
  EXPECT_EQ(MoveSelection(kLast, kNone, 50), 49);
  for (int command : {kPrevious, kNext, kPageUp, kPageDown, kFirst, kLast}) {
    EXPECT_EQ(MoveSelection(command, kNone, 0), kNone);
  }
}

}  // namespace
}  // namespace ostrelin
