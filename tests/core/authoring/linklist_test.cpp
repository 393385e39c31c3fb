// The link-list builder: command line, line layout, appending, and where reading stops.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/core/linklist.h"
#include "platform/core/text_file.h"
#include "tests/support/outline_testing.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::RawOutline;

class LinklistTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    out.str("");
    return RunLinklist(args, out);
  }
  std::string Target() { return ReadFileBytes(tree.Root() / "Struktur.LST").value_or("<none>"); }
  std::string TargetPath() { return (tree.Root() / "Struktur.LST").string(); }

  test::TempTree tree;
  std::ostringstream out;
};

// Four structures: two with outline, the third without, the fourth with outline again.
std::string FourStructures() {
  return RawOutline()
      .Title("Kopf 3")
      .Int16(4)
      .Head(1, " Gro\xDFhirn\t", 2, 3)
      .Column({{1, 5}})
      .Column({})
      .Head(2, "Kleinhirn", 7, 7)
      .Column({{8, 9}, {12, 20}})
      .Head(3, "Liquor", -1, -1)
      .Head(4, "Pons", 1, 1)
      .Column({{3, 3}})
      .Data();
}

TEST_F(LinklistTest, UsageForAnyOtherArgumentCount) {
  for (size_t count : {1u, 2u, 4u, 6u}) {
    std::vector<std::string> args{"./linklist"};
    while (args.size() < count) args.push_back("x");
    EXPECT_EQ(Run(args), 0) << count;
    EXPECT_EQ(out.str(), "Aufruf:\n./linklist Zieldatei Quelldatei Link-Verweis Bildtyp(en) \n\n");
  }
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(out.str(), "Aufruf:\n Zieldatei Quelldatei Link-Verweis Bildtyp(en) \n\n");
  EXPECT_FALSE(std::filesystem::exists(TargetPath()));
}

TEST_F(LinklistTest, LinesUpToTheFirstStructureWithoutOutline) {
  const std::string source = tree.Write("Kopf3.dat", FourStructures()).string();
  EXPECT_EQ(Run({"linklist", TargetPath(), source, "Kopf 3", "S C"}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(Target(),
            "Gro\xDFhirn                                 # Kopf 3                    # S C\r\n"
            "Kleinhirn                                # Kopf 3                    # S C\r\n");
}

TEST_F(LinklistTest, AppendsAndNeverTruncates) {
  tree.Write("Struktur.LST", "/ Strukturen\r\n");
  const std::string first = tree.Write("a.dat", FourStructures()).string();
  const std::string second =
      tree.Write("b.dat", RawOutline().Title("").Int16(1).Head(0, "Herz", 0, 0).Column({}).Data())
          .string();
  EXPECT_EQ(Run({"linklist", TargetPath(), first, "Kopf", "S"}), 1);
  EXPECT_EQ(Run({"linklist", TargetPath(), second, "Thorax", "C M"}), 1);
  const std::string lines = Target();
  EXPECT_EQ(lines.substr(0, 14), "/ Strukturen\r\n");
  EXPECT_NE(lines.find("Kleinhirn"), std::string::npos);
  EXPECT_TRUE(lines.ends_with("Herz" + std::string(36, ' ') + " # Thorax" + std::string(19, ' ') +
                              " # C M\r\n"));
  EXPECT_EQ(lines.size(), 14u + 3 * (40 + 3 + 25 + 3) + 1 + 1 + 3 + 3 * 2);
}

TEST_F(LinklistTest, WidthsAreMinimumsAndTheLinkMayBeEmpty) {
  const std::string forty(40, 'N');
  const std::string longer(50, 'L');
  EXPECT_EQ(LinklistLines(RawOutline()
                              .Title("")
                              .Int16(2)
                              .Head(1, forty, 0, 0)
                              .Column({})
                              .Head(2, longer, 0, 0)
                              .Column({})
                              .Data(),
                          "", "S"),
            forty + " # " + std::string(25, ' ') + " # S\r\n" + longer + " # " +
                std::string(25, ' ') + " # S\r\n");
  const std::string link(30, 'k');
  EXPECT_EQ(
      LinklistLines(RawOutline().Title("").Int16(1).Head(1, "A", 0, 0).Column({}).Data(), link, ""),
      "A" + std::string(39, ' ') + " # " + link + " # \r\n");
}

TEST_F(LinklistTest, NothingForEmptyCountsAndFilesThatCannotBeOpened) {
  for (int count : {0, -1}) {
    EXPECT_EQ(
        LinklistLines(RawOutline().Title("x").Int16(count).Head(1, "A", 0, 0).Column({}).Data(),
                      "l", "S"),
        "");
  }
  // A missing source: status 1, nothing written (the target is opened, and so created, first).
  EXPECT_EQ(Run({"linklist", TargetPath(), (tree.Root() / "fehlt.dat").string(), "l", "S"}), 1);
  EXPECT_EQ(Target(), "");
  // A target that cannot be opened.
  const std::string source = tree.Write("a.dat", FourStructures()).string();
  tree.MakeDir("Ordner");
  EXPECT_EQ(Run({"linklist", (tree.Root() / "Ordner").string(), source, "l", "S"}), 1);
  EXPECT_EQ(out.str(), "");
}

TEST_F(LinklistTest, DamagedSourcesStayInStep) {
  // An overlong name without zero byte is cut to the atlas's 258 bytes, the record after it is
  // read where it starts; the third record, missing from the file, yields no line.
  const std::string bytes = RawOutline()
                                .Title("")
                                .Int16(3)
                                .Byte(1)
                                .Int16(400)
                                .Bytes(std::string(400, 'z'))
                                .Int16(0)
                                .Int16(1)
                                .Column({{1, 1}})
                                .Column({{2, 2}})
                                .Head(2, "Milz", 4, 4)
                                .Column({{1, 1}})
                                .Data();
  const std::string lines = LinklistLines(bytes, "Seite", "S");
  EXPECT_EQ(lines, std::string(258, 'z') + " # Seite" + std::string(20, ' ') + " # S\r\n" + "Milz" +
                       std::string(36, ' ') + " # Seite" + std::string(20, ' ') + " # S\r\n");
}

TEST_F(LinklistTest, ArgumentsFromAUtf8TerminalAreWrittenInWindows1252) {
  const std::string source =
      tree.Write("a.dat", RawOutline().Title("").Int16(1).Head(1, "Gehirn", 0, 0).Column({}).Data())
          .string();
  EXPECT_EQ(Run({"linklist", TargetPath(), source, "Gro\xC3\x9Fhirn", "S"}), 1);
  EXPECT_EQ(Run({"linklist", TargetPath(), source, "Gro\xDFhirn", "S"}), 1);
  const std::string line =
      "Gehirn" + std::string(34, ' ') + " # Gro\xDFhirn" + std::string(17, ' ') + " # S\r\n";
  EXPECT_EQ(Target(), line + line);
}

}  // namespace
}  // namespace ostrelin
