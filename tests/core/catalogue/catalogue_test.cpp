// The page list, the structure list and the lookups of the catalogue, and the image-type table.
#include "catalogue/core/catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/core/image_type.h"
#include "platform/core/text_file.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using namespace std::string_literals;
using test::TempTree;
using test::WithCrLf;

// A page line whose fields 7 to 9 are the given letters.
std::string PageWithLetters(std::string_view type, std::string_view sex, std::string_view region) {
  std::string line = "Herz#herz.txt#herz1.jpg# # # # #";
  line += type.empty() ? " " : type;
  line += "#";
  line += sex.empty() ? " " : sex;
  line += "#";
  line += region.empty() ? " " : region;
  line += "#Herz 3\r\n";
  return line;
}

std::vector<std::string> PagesOf(const Catalogue& catalogue, std::string_view structure) {
  std::vector<std::string> list;
  catalogue.PagesOfStructure(structure, list);
  return list;
}

TEST(CatalogueIndexList, BlankFieldsBecomeEmptyAndLettersAreDecoded) {
  Catalogue catalogue;
  catalogue.AddIndexList(WithCrLf("Herz#herz.txt#herz1.jpg# # # # #S#M#R#Herz quer 3\n"));
  ASSERT_EQ(catalogue.PageCount(), 1u);
  const IndexEntry& herz = catalogue.PageAt(0);
  EXPECT_EQ(herz.name, "Herz");
  EXPECT_EQ(herz.textFile, "herz.txt");
  EXPECT_EQ(herz.imageSchnitt, "herz1.jpg");
  EXPECT_EQ(herz.imageCT, "");
  EXPECT_EQ(herz.imageMR, "");
  EXPECT_EQ(herz.imageSchema, "");
  EXPECT_EQ(herz.defaultStructure, "");
  EXPECT_EQ(herz.preferredType, kSchnitt);
  EXPECT_EQ(herz.sex, kMale);
  EXPECT_EQ(herz.region, kRumpf);
  EXPECT_EQ(herz.planeName, "Herz quer 3");
}

TEST(CatalogueIndexList, LinesAreTrimmedCommentedAndCountedByTheirFields) {
  Catalogue catalogue;
  catalogue.AddIndexList(WithCrLf(
      "Herz#herz.txt#herz1.jpg#####S#M#R#Herz quer 3\n"  // "####" is one separator: 7 fields
      "   /Lunge#l.txt#l.jpg# # # # #S#M#R#Lunge 1\n"    // blanks before "/": comment
      "\t/Leber#l.txt#l.jpg# # # # #S#M#R#Leber 1\n"
      " \t \n"
      "\n"
      "Zwoelf#a#b#c#d#e#f#S#M#R#g#h\n"                        // 12 fields
      "Nieren#n.txt#n.jpg# # # # #C#F#R# \n"                  // trimmed to 10 fields
      "##  Milz \t# m.txt #m.jpg# # # # #C#W#R# Milz 2 ##\n"  // "#" at both ends makes no field
      "Niere#n.txt#n.jpg# # # # #C#F#R#Niere 2"));            // no final line break
  ASSERT_EQ(catalogue.PageCount(), 2u);
  EXPECT_EQ(catalogue.PageAt(0).name, "Milz");
  EXPECT_EQ(catalogue.PageAt(0).textFile, "m.txt");
  EXPECT_EQ(catalogue.PageAt(0).planeName, "Milz 2");
  EXPECT_EQ(catalogue.PageAt(1).name, "Niere");
  EXPECT_EQ(catalogue.PageAt(1).planeName, "Niere 2");
}

struct LetterCase {
  const char* label;
  const char* type;
  const char* sex;
  const char* region;
  ImageType wantType;
  Sex wantSex;
  BodyRegion wantRegion;
};

void PrintTo(const LetterCase& c, std::ostream* os) { *os << c.label; }

class CatalogueLetters : public ::testing::TestWithParam<LetterCase> {};

TEST_P(CatalogueLetters, OnlyTheFirstCharacterCountsInEitherCase) {
  const LetterCase& c = GetParam();
  Catalogue catalogue;
  catalogue.AddIndexList(PageWithLetters(c.type, c.sex, c.region));
  ASSERT_EQ(catalogue.PageCount(), 1u);
  EXPECT_EQ(catalogue.PageAt(0).preferredType, c.wantType);
  EXPECT_EQ(catalogue.PageAt(0).sex, c.wantSex);
  EXPECT_EQ(catalogue.PageAt(0).region, c.wantRegion);
}

INSTANTIATE_TEST_SUITE_P(
    Fields7To9, CatalogueLetters,
    ::testing::Values(LetterCase{"WholeWords", "Schnitt", "Mann", "Rumpf", kSchnitt, kMale, kRumpf},
                      LetterCase{"LowerCase", "s", "m", "r", kSchnitt, kMale, kRumpf},
                      LetterCase{"MWK", "M", "W", "K", kMR, kFemale, kKopf},
                      LetterCase{"CFA", "c", "f", "a", kCT, kFemale, kArm},
                      LetterCase{"PFB", "P", "F", "B", kSchema, kFemale, kBein},
                      LetterCase{"LowerPWU", "p", "w", "u", kSchema, kFemale, kOverview},
                      LetterCase{"GIsNoLetter", "G", "X", "Z", kNoImageType, kNoSex, kNoRegion},
                      LetterCase{"Blank", "", "", "", kNoImageType, kNoSex, kNoRegion},
                      LetterCase{"OtherBytes", "\xC4", "1", "-", kNoImageType, kNoSex, kNoRegion}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CatalogueIndexList, APageNameSeenAgainKeepsItsFirstDefinition) {
  Catalogue catalogue;
  catalogue.AddIndexList(
      WithCrLf("Herz#erste.txt#h.jpg# # # # #S#M#R#a\n"
               "Lunge#l.txt#l.jpg# # # # #S#M#R#b\n"
               "HERZ#zweite.txt#h.jpg# # # # #C#W#K#c\n"
               "herz#dritte.txt#h.jpg# # # # #C#W#K#c\n"));
  ASSERT_EQ(catalogue.PageCount(), 2u);
  EXPECT_EQ(catalogue.PageAt(0).textFile, "erste.txt");
  EXPECT_EQ(catalogue.PageAt(0).region, kRumpf);
  EXPECT_EQ(catalogue.PageAt(1).name, "Lunge");
}

TEST(CatalogueLookup, FindPageFoldsAsciiLettersButNotUmlauts) {
  Catalogue catalogue;
  catalogue.AddIndexList(
      WithCrLf("Start#start.txt# # # # # #S#M#U#-\n"
               "\xC4rmel#a.txt# # # # # #S#M#A#-\n"     // Ärmel
               "\xE4rmel#b.txt# # # # # #S#M#A#-\n"));  // ärmel: a page of its own
  EXPECT_EQ(catalogue.PageCount(), 3u);

  IndexEntry found;
  ASSERT_TRUE(catalogue.FindPage("START", found));
  EXPECT_EQ(found.name, "Start");
  EXPECT_TRUE(catalogue.FindPage("sTaRt", found));
  ASSERT_TRUE(catalogue.FindPage("\xC4RMEL", found));
  EXPECT_EQ(found.textFile, "a.txt");
  ASSERT_TRUE(catalogue.FindPage("\xE4RMEL", found));
  EXPECT_EQ(found.textFile, "b.txt");

  IndexEntry untouched;
  untouched.name = "vorher";
  EXPECT_FALSE(catalogue.FindPage("Start ", untouched));
  EXPECT_FALSE(catalogue.FindPage("", untouched));
  EXPECT_FALSE(catalogue.FindPage("\xD6rmel", untouched));
  EXPECT_EQ(untouched.name, "vorher");
}

TEST(CatalogueLookup, PositionsOutsideTheListsGiveEmptyEntriesWithZeros) {
  Catalogue catalogue;
  catalogue.AddIndexList("Herz#h.txt# # # # # #G#X#Z#p\n");
  catalogue.AddStructureList("Aorta#Herz#S\n");
  ASSERT_EQ(catalogue.PageAt(0).preferredType, kNoImageType);
  for (long position : {-1L, 1L, 1000000L}) {
    const IndexEntry& page = catalogue.PageAt(position);
    EXPECT_EQ(page, IndexEntry{}) << position;
    EXPECT_EQ(page.preferredType, 0);
    EXPECT_EQ(page.sex, 0);
    EXPECT_EQ(page.region, 0);
    EXPECT_EQ(catalogue.LocationAt(position), StructureLocation{}) << position;
  }
}

TEST(CatalogueStructureList, PairsDifferingInAsciiCaseMergeTheirTypesUnderTheFirstSpelling) {
  Catalogue catalogue;
  catalogue.AddStructureList(
      WithCrLf("Aorta          #  Herz 3   #  S\n"
               "Vena cava      #  Herz 3   #  P\n"
               "AORTA          #  HERZ 3   #  CM\n"
               "aorta          #  Thorax 1 #  s, p\n"
               "Aorta          #  Herz 3   #  \n"  // two fields: skipped
               "Aorta#Herz 3#xyz\n"));             // no type letter: adds nothing
  ASSERT_EQ(catalogue.LocationCount(), 3u);
  const StructureLocation& first = catalogue.LocationAt(0);
  EXPECT_EQ(first.structure, "Aorta");
  EXPECT_EQ(first.page, "Herz 3");
  EXPECT_TRUE(first.inSchnitt);
  EXPECT_TRUE(first.inCT);
  EXPECT_TRUE(first.inMR);
  EXPECT_FALSE(first.inSchema);

  const std::vector<std::string> want = {"Herz 3 (Schnitt)", "Herz 3 (CT)", "Herz 3 (MR)",
                                         "Thorax 1 (Schnitt)", "Thorax 1 (Schema)"};
  EXPECT_EQ(PagesOf(catalogue, "aorta"), want);
  EXPECT_EQ(PagesOf(catalogue, "AORTA"), want);
  EXPECT_EQ(PagesOf(catalogue, "Vena cava"), std::vector<std::string>{"Herz 3 (Schema)"});
  EXPECT_TRUE(PagesOf(catalogue, "Herz 3").empty());
}

TEST(CatalogueStructureList, PagesOfStructureAppendsAndReturnsTheListSize) {
  Catalogue catalogue;
  catalogue.AddStructureList("N. vagus#Hals 2#SCMP\r\n\xC4sophagus#Hals 2#C\r\n");
  std::vector<std::string> list = {"schon da"};
  EXPECT_EQ(catalogue.PagesOfStructure("n. VAGUS", list), 5u);
  EXPECT_EQ(list.front(), "schon da");
  EXPECT_EQ(list.back(), "Hals 2 (Schema)");
  EXPECT_EQ(catalogue.PagesOfStructure("\xE4sophagus", list), 5u);  // umlaut case differs
  EXPECT_EQ(catalogue.PagesOfStructure("\xC4SOPHAGUS", list), 6u);
  EXPECT_EQ(list.back(), "Hals 2 (CT)");
}

struct TaggedCase {
  const char* label;
  const char* tagged;
  const char* name;
  ImageType type;
};

void PrintTo(const TaggedCase& c, std::ostream* os) { *os << c.label; }

class CatalogueSplitTaggedName : public ::testing::TestWithParam<TaggedCase> {};

TEST_P(CatalogueSplitTaggedName, RemovesExactlyOneKnownSuffix) {
  const TaggedName split = Catalogue::SplitTaggedName(GetParam().tagged);
  EXPECT_EQ(split.name, GetParam().name);
  EXPECT_EQ(split.type, GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(
    Suffixes, CatalogueSplitTaggedName,
    ::testing::Values(TaggedCase{"MR", "Herz 3 (MR)", "Herz 3", kMR},
                      TaggedCase{"Schnitt", "Herz 3 (Schnitt)", "Herz 3", kSchnitt},
                      TaggedCase{"CT", "Herz 3 (CT)", "Herz 3", kCT},
                      TaggedCase{"Schema", "Herz 3 (Schema)", "Herz 3", kSchema},
                      TaggedCase{"Plain", "Herz 3", "Herz 3", kNoImageType},
                      TaggedCase{"NoBlankBeforeTag", "Herz 3(MR)", "Herz 3(MR)", kNoImageType},
                      TaggedCase{"LowerCaseTag", "Herz 3 (mr)", "Herz 3 (mr)", kNoImageType},
                      TaggedCase{"BlankAfterTag", "Herz 3 (MR) ", "Herz 3 (MR) ", kNoImageType},
                      TaggedCase{"OnlyTheLastTag", "Kopf (CT) (MR)", "Kopf (CT)", kMR},
                      TaggedCase{"OnlyATag", " (CT)", "", kCT},
                      TaggedCase{"Empty", "", "", kNoImageType}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CatalogueSplitTaggedName, UndoesEveryResultOfPagesOfStructure) {
  Catalogue catalogue;
  catalogue.AddStructureList("Aorta#Herz 3#SCMP\n");
  const std::vector<std::string> tagged = PagesOf(catalogue, "Aorta");
  ASSERT_EQ(tagged.size(), 4u);
  const ImageType order[] = {kSchnitt, kCT, kMR, kSchema};
  for (size_t i = 0; i < tagged.size(); ++i) {
    const TaggedName split = Catalogue::SplitTaggedName(tagged[i]);
    EXPECT_EQ(split.name, "Herz 3");
    EXPECT_EQ(split.type, order[i]);
  }
}

TEST(CatalogueImageTypes, CarryTheirTagsCommandsAndDirectories) {
  struct Row {
    ImageType type;
    char letter;
    const char* tag;
    const char* suffix;
    int command;
    const char* imageDir;
    const char* textDir;
  };
  const Row rows[] = {
      {kSchnitt, 'S', "(S) ", " (Schnitt)", 9025, "Bilder\\Schnitt\\", "Texte\\Schnitt\\"},
      {kMR, 'M', "(M) ", " (MR)", 9027, "Bilder\\MRT\\", "Texte\\MRT\\"},
      {kCT, 'C', "(C) ", " (CT)", 9026, "Bilder\\CT\\", "Texte\\CT\\"},
      {kSchema, 'P', "(G) ", " (Schema)", 9028, "Bilder\\Schema\\", "Texte\\Schema\\"},
      {kNoImageType, '\0', "", "", 0, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    EXPECT_EQ(ImageTypeLetter(row.type), row.letter);
    EXPECT_EQ(HistoryTag(row.type), row.tag);
    EXPECT_EQ(TypeSuffix(row.type), row.suffix);
    EXPECT_EQ(ImageButtonCommand(row.type), row.command);
    EXPECT_EQ(ImageDirectory(row.type), row.imageDir);
    EXPECT_EQ(TextDirectory(row.type), row.textDir);
    if (row.command != 0) {
      EXPECT_EQ(ImageTypeOfCommand(row.command), row.type);
    }
  }
  EXPECT_EQ(ImageTypeOfCommand(9024), kNoImageType);
  EXPECT_EQ(ImageTypeOfCommand(9029), kNoImageType);
  EXPECT_EQ(ImageDirectory(4), "");
}

TEST(CatalogueIndexList, ImageFileFollowsTheTypeNotTheFieldOrder) {
  Catalogue catalogue;
  catalogue.AddIndexList("Knie#k.txt#s.jpg#ct.jpg#mr.jpg#g.jpg# #S#M#B#k\n");
  const IndexEntry& knie = catalogue.PageAt(0);
  EXPECT_EQ(ImageFile(knie, kSchnitt), "s.jpg");
  EXPECT_EQ(ImageFile(knie, kCT), "ct.jpg");
  EXPECT_EQ(ImageFile(knie, kMR), "mr.jpg");
  EXPECT_EQ(ImageFile(knie, kSchema), "g.jpg");
  EXPECT_EQ(ImageFile(knie, kNoImageType), "");
}

TEST(CatalogueRobustness, AnOverlongLineLosesItsRestInsteadOfMakingAPageOfIt) {
  // The first 4998 bytes form a single field; the rest alone would be a valid page line.
  std::string bytes(TextReader::kLineBuffer - 1, 'x');
  bytes += "Rest#r.txt# # # # # #S#M#R#p\r\n";
  bytes += "Herz#h.txt# # # # # #S#M#R#p\r\n";
  Catalogue catalogue;
  catalogue.AddIndexList(bytes);
  IndexEntry found;
  EXPECT_FALSE(catalogue.FindPage("Rest", found));
  EXPECT_TRUE(catalogue.FindPage("Herz", found));
  EXPECT_EQ(catalogue.PageCount(), 1u);
}

TEST(CatalogueRobustness, GarbageAndEmptyInputLeaveAUsableCatalogue) {
  std::string garbage;  // every byte but Ctrl-Z, which would end the text at once
  for (int round = 0; round < 64; ++round) {
    for (int b = 0; b < 256; ++b) {
      const char c = char((b * 37 + round * 11) & 0xFF);
      garbage += c == '\x1A' ? '#' : c;
    }
  }
  garbage += "###\r\r\n\0#\0\n"s;
  Catalogue catalogue;
  catalogue.AddIndexList("");
  catalogue.AddStructureList("");
  catalogue.AddIndexList(garbage);
  catalogue.AddStructureList(garbage);
  catalogue.AddIndexList("Herz#h.txt# # # # # #S#M#R#p\0#x#y\n"s);  // the line ends at its NUL
  IndexEntry herz;
  ASSERT_TRUE(catalogue.FindPage("Herz", herz));
  EXPECT_EQ(herz.planeName, "p");
  for (size_t i = 0; i < catalogue.LocationCount(); ++i) {
    const StructureLocation& location = catalogue.LocationAt(long(i));
    std::vector<std::string> list;
    catalogue.PagesOfStructure(location.structure, list);
    if (location.inSchnitt || location.inCT || location.inMR || location.inSchema) {
      EXPECT_FALSE(list.empty()) << i;
    }
  }
}

TEST(CatalogueRobustness, TheIndexesStayRightAsTheListsGrow) {
  std::string pages;
  std::string structures;
  constexpr int kPages = 20000;
  for (int i = 0; i < kPages; ++i) {
    const std::string name = "Seite " + std::to_string(i);
    pages += name + "#t" + std::to_string(i) + "# # # # # #S#M#R#p\r\n";
    structures += "Struktur " + std::to_string(i % 997) + "#" + name + "#S\r\n";
  }
  for (int i = 0; i < kPages; i += 2) {  // again in upper case: dropped or merged
    pages += "SEITE " + std::to_string(i) + "#neu# # # # # #S#M#R#p\r\n";
    structures += "STRUKTUR " + std::to_string(i % 997) + "#SEITE " + std::to_string(i) + "#C\r\n";
  }
  Catalogue catalogue;
  catalogue.AddIndexList(pages);
  catalogue.AddStructureList(structures);
  ASSERT_EQ(catalogue.PageCount(), size_t(kPages));
  ASSERT_EQ(catalogue.LocationCount(), size_t(kPages));
  IndexEntry found;
  for (int i = 0; i < kPages; i += 7) {
    ASSERT_TRUE(catalogue.FindPage("seite " + std::to_string(i), found)) << i;
    EXPECT_EQ(found.textFile, "t" + std::to_string(i));
    EXPECT_EQ(catalogue.LocationAt(i).inCT, i % 2 == 0) << i;
  }
  const std::vector<std::string> places = PagesOf(catalogue, "struktur 5");
  // Seite 5, 1002, 1999, ... (21 pages) in list order; the 10 even ones also outlined on CT.
  ASSERT_GE(places.size(), 3u);
  EXPECT_EQ(places[0], "Seite 5 (Schnitt)");
  EXPECT_EQ(places[1], "Seite 1002 (Schnitt)");
  EXPECT_EQ(places[2], "Seite 1002 (CT)");
  EXPECT_EQ(places.size(), size_t(21 + 10));
}

class CatalogueLoadLists : public ::testing::Test {
 protected:
  const std::string kIndex = WithCrLf(
      "/ Seitenliste\n"
      "START#start.txt# # # # # #S#M#U#Ganzk\xF6rper\n"
      "Herz#herz.txt#herz1.jpg# # # # #S#M#R#Herz quer 3\n");
  const std::string kStructures = WithCrLf("Aorta#Herz#S\nAorta#START#P\n");
  TempTree tree;
};

TEST_F(CatalogueLoadLists, ReadsBothListsBelowTheDataPath) {
  tree.Write("Daten/Index.LST", kIndex);
  tree.Write("Daten/Struktur.LST", kStructures);
  Catalogue catalogue;
  ASSERT_TRUE(catalogue.LoadLists(tree.DataPath()));
  EXPECT_EQ(catalogue.PageCount(), 2u);
  EXPECT_EQ(catalogue.LocationCount(), 2u);
  ASSERT_TRUE(catalogue.LoadLists(tree.DataPath()));  // a second load replaces the first
  EXPECT_EQ(catalogue.PageCount(), 2u);
  EXPECT_EQ(PagesOf(catalogue, "aorta"),
            (std::vector<std::string>{"Herz (Schnitt)", "START (Schema)"}));
}

TEST_F(CatalogueLoadLists, ReadsWhatIsThereAndFailsOnAMissingList) {
  struct ListFile {
    const char* path;
    const std::string* text;  // nullptr: a folder of that name, which cannot be opened as a list
  };
  const std::string empty;
  struct Case {
    const char* what;
    std::vector<ListFile> files;
    bool loaded;
    size_t pages;
    size_t locations;
  };
  const Case cases[] = {
      {"the files are found whatever their case on disk",
       {{"daten/INDEX.lst", &kIndex}, {"daten/STRUKTUR.LST", &kStructures}},
       true,
       2,
       2},
      {"without the page list the structure list is skipped",
       {{"Daten/Struktur.LST", &kStructures}},
       false,
       0,
       0},
      {"without the structure list the pages are read",
       {{"Daten/Index.LST", &kIndex}, {"Daten/Struktur.LST", nullptr}},
       false,
       2,
       0},
      {"empty lists give an empty catalogue",
       {{"Daten/Index.LST", &empty}, {"Daten/Struktur.LST", &empty}},
       true,
       0,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempTree own;  // each case in a tree of its own
    for (const ListFile& file : c.files) {
      if (file.text != nullptr) {
        own.Write(file.path, *file.text);
      } else {
        own.MakeDir(file.path);
      }
    }
    Catalogue catalogue;
    EXPECT_EQ(catalogue.LoadLists(own.DataPath()), c.loaded);
    EXPECT_EQ(catalogue.PageCount(), c.pages);
    EXPECT_EQ(catalogue.LocationCount(), c.locations);
  }
}

TEST_F(CatalogueLoadLists, AWrongDataPathFails) {
  tree.Write("Daten/Index.LST", kIndex);
  tree.Write("Daten/Struktur.LST", kStructures);
  Catalogue catalogue;
  EXPECT_FALSE(catalogue.LoadLists(tree.DataPath() + "Fehlt\\"));
  EXPECT_FALSE(catalogue.LoadLists(tree.DataPath() + "Daten\\"));  // one level too deep
}

}  // namespace
}  // namespace ostrelin
