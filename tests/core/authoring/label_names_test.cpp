// Label names: every table form recognised by its content, the header extension's label table,
// the renaming tables shipped with the atlas, and names the atlas cannot store as they are.
#include <filesystem>

#include <gtest/gtest.h>

#include "authoring/core/label_names.h"
#include "platform/core/cp1252.h"
#include "platform/core/text_file.h"
#include "tools/demo_atlas/anatomy.h"

namespace ostrelin {
namespace {

TEST(LabelTables, EveryFormIsRecognisedByItsContent) {
  struct Case {
    const char* text;
    const char* format;
    LabelName second;  // the second label found
  };
  const Case cases[] = {
      {"#$Id: FreeSurferColorLUT.txt\n#No. Label Name: R G B A\n0 Unknown 0 0 0 0\n"
       "17 Left-Hippocampus 220 216 20 0\n53  Right-Hippocampus  220 216 20 0\n",
       "colour table",
       {53, "Right-Hippocampus", {220, 216, 20}, true}},
      {"# Color table file\n0 background 0 0 0 0\n1 artery 216 101 79 255\n2 bone 241 214 145 "
       "255\n",
       "colour table",
       {2, "bone", {241, 214, 145}, true}},
      {"################################################\n# ITK-SnAP Label Description File\n"
       "    0     0    0    0        0  0  0    \"Clear Label\"\n"
       "    1   255    0    0        1  1  1    \"Label 1\"\n"
       "    2     0  255    0        1  1  1    \"Leber, rechter Lappen\"\n",
       "ITK-SNAP label descriptions",
       {2, "Leber, rechter Lappen", {0, 255, 0}, true}},
      {"LabelValue,Name,Color_R,Color_G,Color_B,Color_A\n1,spleen,157,108,162,255\n"
       "2,\"kidney, right\",185,102,83,255\n",
       "Slicer CSV",
       {2, "kidney, right", {185, 102, 83}, true}},
      {"1 Precentral_L 2001\n2 Precentral_R 2002\n", "label list", {2, "Precentral_R", {}, false}},
      {"0\tUnclassified\n1\tGenu_of_corpus_callosum\n2\tBody of corpus callosum\n",
       "value, name and abbreviation (tab-separated)",
       {2, "Body of corpus callosum", {}, false}},
      // Header-less CSV (a quoted name may hold commas) and three tab-separated columns.
      {"1,spleen\n2,\"kidney, right\"\n", "value,name (CSV)", {2, "kidney, right", {}, false}},
      {"value\tname\tabbreviation\n1\tLeft Hippocampus\tLHC\n2\tRight Hippocampus\tRHC\n",
       "value, name and abbreviation (tab-separated)",
       {2, "Right Hippocampus", {}, false}},
      // Windows-1252 input comes out as UTF-8.
      {"/ Kopf\n1 Gro\xDFhirn\n2 Br\xFC"
       "cke\n",
       "value and name",
       {2, "Brücke", {}, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    std::vector<LabelName> names;
    std::string format, error;
    ASSERT_TRUE(ParseLabelTable(c.text, names, format, error)) << error;
    EXPECT_EQ(format, c.format);
    ASSERT_EQ(names.size(), 2u);  // value 0 is the background
    EXPECT_EQ(names[1], c.second);
  }
  std::vector<LabelName> names;
  std::string format, error;
  EXPECT_FALSE(ParseLabelTable("# only comments\n0 Unknown 0 0 0 0\n", names, format, error));
  EXPECT_NE(error.find("names no label"), std::string::npos) << error;
  // A table of no known form says so and lists the forms that are.
  EXPECT_FALSE(ParseLabelTable("<labels><l v='1'>spleen</l></labels>\n", names, format, error));
  EXPECT_NE(error.find("format not recognised"), std::string::npos) << error;
  EXPECT_NE(error.find("value,name"), std::string::npos) << error;
}

TEST(LabelTables, HeaderExtensionNamesTheLabels) {
  const std::vector<LabelName> names = ParseCaretLabels(
      "<CaretExtension><LabelTable>\n"
      "<Label Key=\"0\" Red=\"0\" Green=\"0\" Blue=\"0\" "
      "Alpha=\"0\"><![CDATA[background]]></Label>\n"
      "<Label Key=\"1\" Red=\"1\" Green=\"0.5\" Blue=\"0\" Alpha=\"1\"><![CDATA[spleen]]></Label>\n"
      "<Label Key=\"5\"\n Red=\"0\" Green=\"0\" Blue=\"1\" Alpha=\"1\">liver &amp; co</Label>\n"
      "</LabelTable></CaretExtension>");
  const std::vector<LabelName> expected = {{1, "spleen", {255, 128, 0}, true},
                                           {5, "liver & co", {0, 0, 255}, true}};
  EXPECT_EQ(names, expected);
  EXPECT_TRUE(ParseCaretLabels("<Label Key=\"1\"><![CDATA[cut off").empty());
}

TEST(LabelTables, RenamingAndNamesTheAtlasCannotStore) {
  std::vector<std::string> errors;
  const std::vector<NameMapEntry> map =
      ParseNameMap("# Zuordnung\nspleen;Milz (Splen)\n7;Struktur sieben\nkaputt\n;leer\n", errors);
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_EQ(RenameLabel({1, "Spleen", {}, false}, map), "Milz (Splen)");
  EXPECT_EQ(RenameLabel({7, "", {}, false}, map), "Struktur sieben");
  EXPECT_EQ(RenameLabel({8, "", {}, false}, map), "Struktur 8");
  EXPECT_EQ(RenameLabel({9, "Left_Caudate", {}, false}, map), "Left Caudate");
  // An underscore between digits joins numbers: AAL's "Vermis_1_2" is lobules 1 and 2.
  EXPECT_EQ(RenameLabel({10, "Vermis_1_2", {}, false}, map), "Vermis 1/2");
  EXPECT_EQ(RenameLabel({11, "Cerebelum_4_5_L", {}, false}, map), "Cerebelum 4/5 L");
  EXPECT_EQ(RenameLabel({12, "rib_left_1", {}, false}, map), "rib left 1");
  // Letters no transliteration reaches: the structure gets a plain name, not "?".
  EXPECT_EQ(UnholdableCharacters("Kopf \u03B1 \u03B2 \u03B1"), "\u03B1\u03B2");
  EXPECT_EQ(UnholdableCharacters("\u0141\u00F3d\u017A ?"), "");
  EXPECT_EQ(StructureName({5, "\u6D77\u99AC", {}, false}, map), "Struktur 5");
  EXPECT_EQ(StructureName({6, "\u0141\u00F3d\u017A", {}, false}, map),
            "L\xF3"
            "dz");

  bool changed = true;
  EXPECT_EQ(AtlasName("Großhirn", changed), "Gro\xDFhirn");
  EXPECT_FALSE(changed);
  EXPECT_EQ(AtlasName("Łódź #3 α", changed),
            "L\xF3"
            "dz -3 ?");
  EXPECT_TRUE(changed);
  EXPECT_EQ(AtlasName("Cafe\xCC\x81", changed), "Cafe");  // combining accent dropped
  EXPECT_EQ(AtlasName(std::string(300, 'x'), changed).size(), 258u);
}

TEST(LabelTables, ShippedRenamingTablesCoverTheirProgramsAndFitTheAtlas) {
  const std::filesystem::path names =
      std::filesystem::path(OSTRELIN_SOURCE_DIR) / "authoring/names";
  struct Table {
    const char* file;
    std::vector<std::string> mustRename;
    size_t count;
    bool latinInBrackets = true;  // "Milz (Splen)"; the AAL names are Latin already
  };
  std::vector<std::string> total;
  for (const char* side : {"left", "right"}) {
    for (int rib = 1; rib <= 12; ++rib)
      total.push_back("rib_" + std::string(side) + "_" + std::to_string(rib));
  }
  for (const char* v : {"C1", "C7", "T1", "T12", "L5", "S1"})
    total.push_back(std::string("vertebrae_") + v);
  total.insert(total.end(), {"spleen", "liver", "kidney_left", "costal_cartilages", "heart",
                             "iliac_vena_right", "portal_vein_and_splenic_vein"});
  const Table tables[] = {
      {"totalsegmentator_total.csv", total, 117},
      {"freesurfer_subcortical.csv",
       {"Left-Hippocampus", "Right-Amygdala", "Brain-Stem", "Left-Thalamus", "3rd-Ventricle"},
       0},
      {"aal.csv", {"Precentral_L", "Vermis_1_2", "Cerebelum_Crus1_R", "Heschl_L"}, 116, false}};
  for (const Table& t : tables) {
    SCOPED_TRACE(t.file);
    const std::optional<std::string> bytes = ReadFileBytes(names / t.file);
    ASSERT_TRUE(bytes);
    std::vector<std::string> errors;
    const std::vector<NameMapEntry> map = ParseNameMap(*bytes, errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    if (t.count != 0) {
      EXPECT_EQ(map.size(), t.count);
    }
    for (const std::string& source : t.mustRename) {
      EXPECT_NE(RenameLabel({1, source, {}, false}, map), source) << source;
    }
    for (const NameMapEntry& e : map) {
      bool changed = false;
      AtlasName(e.target, changed);
      EXPECT_FALSE(changed) << e.target;
      if (t.latinInBrackets) {
        EXPECT_NE(e.target.find(" ("), std::string::npos) << "no Latin term: " << e.target;
      }
    }
  }
}

// The AAL table names every region of the mricron templates' list as the demo atlas does.
TEST(LabelTables, AalTableGivesTheDemoNamesOfAllRegions) {
  const std::filesystem::path names =
      std::filesystem::path(OSTRELIN_SOURCE_DIR) / "authoring/names";
  std::vector<std::string> errors;
  const std::vector<NameMapEntry> map = ParseNameMap(*ReadFileBytes(names / "aal.csv"), errors);
  ASSERT_EQ(map.size(), 116u);
  for (const NameMapEntry& e : map) {
    const AnatomicalName demo = NameOfBrainLabel(e.source);
    EXPECT_TRUE(demo.known) << e.source;
    EXPECT_EQ(e.target, Cp1252ToUtf8(demo.name)) << e.source;
  }
  EXPECT_EQ(RenameLabel({1, "Precentral_L", {}, false}, map), "Gyrus praecentralis links");
  EXPECT_EQ(RenameLabel({110, "Vermis_1_2", {}, false}, map), "Vermis cerebelli, Lobuli I und II");
  const std::filesystem::path list = "/usr/share/mricron/templates/aal.nii.txt";
  if (!std::filesystem::exists(list)) GTEST_SKIP() << "mricron-data is not installed";
  std::vector<LabelName> labels;
  std::string format, error;
  ASSERT_TRUE(ParseLabelTable(*ReadFileBytes(list), labels, format, error)) << error;
  EXPECT_EQ(labels.size(), 116u);
  EXPECT_EQ(MatchedNames(labels, map), labels.size());
}

}  // namespace
}  // namespace ostrelin
