// The authoring tool of outline files: label tables, outline files built from label images, the
// text dump, and the command line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "authoring/core/label_table.h"
#include "authoring/core/outline_builder.h"
#include "authoring/core/outline_dump.h"
#include "authoring/core/umriss.h"
#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "structures/core/object_list.h"
#include "tests/support/outline_testing.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::RawOutline;

std::vector<LabelEntry> Table(std::string_view text) {
  std::vector<LabelEntry> entries;
  std::vector<std::string> errors;
  EXPECT_TRUE(ParseLabelTable(text, entries, errors)) << (errors.empty() ? "" : errors[0]);
  return entries;
}

// Rows as written, top first: one character per pixel, '.' for 0, digits and letters for values.
LabelImage Image(std::vector<std::string> rows) {
  LabelImage image;
  image.height = int(rows.size());
  image.width = int(rows[0].size());
  for (const std::string& row : rows) {
    for (const char c : row) {
      image.values.push_back(c == '.'   ? 0
                             : c <= '9' ? std::uint8_t(c - '0')
                                        : std::uint8_t(c - 'a' + 10));
    }
  }
  return image;
}

TEST(LabelTableTest, ValuesNamesCommentsAndEncodings) {
  const std::vector<LabelEntry> utf8 =
      Table("\xEF\xBB\xBF/ Kopf\r\n# Werte\n\n 1\tGro\xC3\x9Fhirn \r\n2   Pons\n  12 Os temporale");
  EXPECT_EQ(utf8, (std::vector<LabelEntry>{
                      {1, "Gro\xDFhirn", 4}, {2, "Pons", 5}, {12, "Os temporale", 6}}));
  // Not UTF-8: taken as Windows-1252.
  EXPECT_EQ(Table("3 Gro\xDFhirn\n"), (std::vector<LabelEntry>{{3, "Gro\xDFhirn", 1}}));
}

TEST(LabelTableTest, EveryProblemWithItsLine) {
  std::vector<LabelEntry> entries;
  std::vector<std::string> errors;
  EXPECT_FALSE(
      ParseLabelTable("0 Null\n256 Zu gross\n5\n12abc\n7 A#B\n8 \xCE\xA9mega\n"
                      "9 Leber\n9 Milz\n10 " +
                          std::string(259, 'x') + "\n11 Gut\n",
                      entries, errors));
  EXPECT_EQ(errors, (std::vector<std::string>{
                        "line 1: label value 0 outside 1..255 (0 is the background)",
                        "line 2: label value 256 outside 1..255 (0 is the background)",
                        "line 3: label value 5 has no name",
                        "line 4: expected a label value, blanks and a name",
                        "line 5: the name holds \"#\", the field separator of the list files",
                        "line 6: the name has a character Windows-1252 lacks",
                        "line 8: label value 9 already named in line 7",
                        "line 9: the name is longer than 258 bytes",
                    }));
  EXPECT_EQ(entries.size(), 2u);
}

TEST(OutlineBuilderTest, RowsCountUpFromTheBottom) {
  const LabelImage image = Image({
      "1..2",  // row 2
      "11.2",  // row 1
      ".3.2",  // row 0
  });
  OutlineFile file;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(BuildOutline(image, Table("2 Milz\n1 Leber\n4 Niere\n5 LEBER\n"), "Bauch", file,
                           warnings, error))
      << error;
  EXPECT_EQ(warnings, (std::vector<std::string>{
                          "\"Niere\" has no pixel in the image; written without outline",
                          "label value 3 (1 pixels) has no name in the table; left out"}));
  std::string bytes;
  ASSERT_TRUE(EncodeOutline(file, bytes, error)) << error;
  EXPECT_EQ(DumpOutline(bytes),
            "title \"Bauch\"\n"
            "structures 3\n"
            "1: number 2 \"Milz\" columns 3..3\n"
            "  3: 0-2\n"
            "2: number 1 \"Leber\" columns 0..1\n"
            "  0: 1-2\n"
            "  1: 1-1\n"
            "3: number 4 \"Niere\" no outline\n");
}

TEST(OutlineBuilderTest, TheAtlasHitsWhatTheLabelImageHolds) {
  // Interleaved labels, one value naming the same structure as another, holes, all columns.
  LabelImage image;
  image.width = 37;
  image.height = 29;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      image.values.push_back(std::uint8_t(((x * 7 + y * 3) / 5 + (x ^ y)) % 6));
    }
  }
  OutlineFile file;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(BuildOutline(image, Table("1 Eins\n2 Zwei\n3 Drei\n4 Vier\n5 zwei\n"), "T", file,
                           warnings, error));
  EXPECT_TRUE(warnings.empty());
  std::string bytes;
  ASSERT_TRUE(EncodeOutline(file, bytes, error));
  test::RecordingPlotter plotter;
  ScriptedMessageService messages;
  Objektliste list(plotter, OutlineBytes{bytes}, messages);
  ASSERT_EQ(list.Count(), 4);
  const std::vector<int> structureOfValue{-1, 0, 1, 2, 3, 1};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const HitList& hits = list.HitTest(x, image.height - 1 - y);
      const int expected = structureOfValue[image.At(x, y)];
      if (expected < 0) {
        EXPECT_TRUE(hits.empty()) << x << "," << y;
      } else {
        ASSERT_EQ(hits.size(), 1) << x << "," << y;
        EXPECT_EQ(hits[0], expected) << x << "," << y;
      }
    }
  }
}

TEST(OutlineBuilderTest, RefusesImagesTheFormatCannotHold) {
  OutlineFile file;
  std::vector<std::string> warnings;
  std::string error;
  LabelImage tall;
  tall.width = 1;
  tall.height = 4097;
  tall.values.assign(4097, 1);
  EXPECT_FALSE(BuildOutline(tall, Table("1 A"), "", file, warnings, error));
  EXPECT_EQ(error, "the label image has 4097 rows; outline files hold at most 4096");
  tall.height = 4096;
  tall.values.resize(4096);
  EXPECT_TRUE(BuildOutline(tall, Table("1 A"), "", file, warnings, error));
  EXPECT_EQ(file.records[0].columns[0], (std::vector<OutlineRun>{{0, 4095}}));
  EXPECT_FALSE(BuildOutline(LabelImage{}, Table("1 A"), "", file, warnings, error));
}

TEST(OutlineDumpTest, QuotesTextsAndNotesDamage) {
  const std::string bytes = RawOutline()
                                .Title(
                                    "Sch\xE4"
                                    "del \"3\"")
                                .Int16(4)
                                .Head(7, "A\\B\x01", 5, 4)
                                .Head(8, "Weit", 10, 20)
                                .Column({{1, 2}})
                                .Column({})
                                .Data();
  EXPECT_EQ(DumpOutline(bytes),
            "title \"Sch\xC3\xA4"
            "del \\\"3\\\"\"\n"
            "structures 4\n"
            "1: number 7 \"A\\\\B\\x01\" columns 5..4, none\n"
            "2: number 8 \"Weit\" columns 10..20\n"
            "  10: 1-2\n"
            "  11: -\n"
            "  12..20: past the end of the file\n"
            "note: the file ends inside structure 2; its missing bytes read as zero\n"
            "note: 2 of 4 structures lie past the end of the file\n");
  EXPECT_EQ(DumpOutline(RawOutline().Title("").Int16(0).Bytes("xyz").Data()),
            "title \"\"\nstructures 0\nnote: 3 bytes after the last structure are ignored\n");
}

class UmrissTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return RunUmriss(
        args, out, err,
        [this](const std::filesystem::path& path, LabelImage& image, std::string& error) {
          loaded = path.string();
          if (!imageOk) {
            error = "not an 8-bit indexed or grey image";
            return false;
          }
          image = Image({"12", "1."});
          return true;
        });
  }
  std::string Path(std::string_view name) { return (tree.Root() / name).string(); }

  test::TempTree tree;
  std::ostringstream out;
  std::ostringstream err;
  std::string loaded;
  bool imageOk = true;
};

TEST_F(UmrissTest, BuildWritesTheOutlineFileAndDumpShowsIt) {
  tree.Write("kopf.txt", "1 Gro\xC3\x9Fhirn\n2 Pons\n");
  EXPECT_EQ(Run({"umriss", "build", Path("Kopf 12.png"), Path("kopf.txt"), Path("Kopf12.dat")}), 0);
  EXPECT_EQ(loaded, Path("Kopf 12.png"));
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(out.str(), Path("Kopf12.dat") + ": 2 structures, 60 bytes\n");
  EXPECT_EQ(Run({"umriss", "dump", Path("Kopf12.dat")}), 0);
  EXPECT_EQ(out.str(),
            "title \"Kopf 12\"\nstructures 2\n"
            "1: number 1 \"Gro\xC3\x9Fhirn\" columns 0..0\n  0: 0-1\n"
            "2: number 2 \"Pons\" columns 1..1\n  1: 1-1\n");
  // The outline file holds the name in Windows-1252.
  EXPECT_NE(ReadFileBytes(Path("Kopf12.dat"))->find("Gro\xDFhirn"), std::string::npos);

  EXPECT_EQ(Run({"umriss", "build", Path("x.png"), Path("kopf.txt"), Path("t.dat"), "--title",
                 "\xC3\x84 title longer than twenty"}),
            0);
  EXPECT_EQ(DecodeOutline(*ReadFileBytes(Path("t.dat"))).title, "\xC4 title longer than ");
}

TEST_F(UmrissTest, FailuresLeaveAnExistingFileAlone) {
  tree.Write("old.dat", "old");
  tree.Write("bad.txt", "1 A\n1 B\n");
  EXPECT_EQ(Run({"umriss", "build", Path("x.png"), Path("bad.txt"), Path("old.dat")}), 1);
  EXPECT_EQ(err.str(), Path("bad.txt") + ": line 2: label value 1 already named in line 1\n");
  EXPECT_EQ(Run({"umriss", "build", Path("x.png"), Path("missing.txt"), Path("old.dat")}), 1);
  EXPECT_EQ(err.str(), Path("missing.txt") + ": cannot read the table\n");
  imageOk = false;
  tree.Write("good.txt", "1 A\n");
  EXPECT_EQ(Run({"umriss", "build", Path("x.png"), Path("good.txt"), Path("old.dat")}), 1);
  EXPECT_EQ(err.str(), Path("x.png") + ": not an 8-bit indexed or grey image\n");
  imageOk = true;
  EXPECT_EQ(Run({"umriss", "build", Path("x.png"), Path("good.txt"), Path("no/such/dir.dat")}), 1);
  EXPECT_EQ(*ReadFileBytes(Path("old.dat")), "old");
  // Warnings do not stop a build.
  EXPECT_EQ(Run({"umriss", "build", Path("x.png"), Path("good.txt"), Path("old.dat")}), 0);
  EXPECT_EQ(err.str(), "warning: label value 2 (1 pixels) has no name in the table; left out\n");
  EXPECT_EQ(Run({"umriss", "dump", Path("none.dat")}), 1);
}

TEST_F(UmrissTest, Usage) {
  EXPECT_EQ(Run({"umriss"}), 2);
  EXPECT_NE(err.str().find("usage: umriss build LABELS TABLE OUTLINE [--title TEXT]"),
            std::string::npos);
  EXPECT_EQ(Run({"umriss", "build", "a", "b"}), 2);
  EXPECT_EQ(Run({"umriss", "build", "a", "b", "c", "--titel", "x"}), 2);
  EXPECT_EQ(Run({"umriss", "--help"}), 0);
  EXPECT_NE(out.str().find("dump OUTLINE"), std::string::npos);
}

}  // namespace
}  // namespace ostrelin
