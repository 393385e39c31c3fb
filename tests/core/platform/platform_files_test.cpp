// Windows paths on the Linux file system, initialisation files, and writing text files.
#include <gtest/gtest.h>

#include "platform/core/ini_file.h"
#include "platform/core/paths.h"
#include "platform/core/text_file.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::TempTree;

std::string Win(const std::filesystem::path& p) {
  std::string s = p.string();
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  return s;
}

TEST(ResolvePath, MatchesEveryComponentIgnoringCase) {
  TempTree tree;
  tree.Write("atlas/Daten/INDEX.LST", "x");
  const auto resolved = ResolvePath(tree.Root().string() + "\\ATLAS\\daten\\Index.LST");
  EXPECT_EQ(resolved, tree.Root() / "atlas/Daten/INDEX.LST");
  EXPECT_TRUE(ReadFileBytes(resolved).has_value());
}

TEST(ResolvePath, FindsUtf8AndWindows1252NamesFromWindows1252Text) {
  TempTree tree;
  tree.Write("Texte/Other/Hilfe-Übersicht.txt", "u");
  tree.Write(std::string("Texte/Other/Gr\xF6\xDF"
                         "e.txt"),
             "c");  // a name not in UTF-8
  EXPECT_EQ(*ReadFileBytes(ResolvePath(Win(tree.Root()) + "\\texte\\other\\HILFE-\xFC"
                                                          "BERSICHT.TXT")),
            "u");
  EXPECT_EQ(*ReadFileBytes(ResolvePath(Win(tree.Root()) + "\\Texte\\Other\\GR\xD6\xDF"
                                                          "E.TXT")),
            "c");
}

TEST(ResolvePath, KeepsMissingComponentsSoOpeningFails) {
  TempTree tree;
  const auto resolved = ResolvePath(Win(tree.Root()) + "\\Nowhere\\Index.LST");
  EXPECT_EQ(resolved, tree.Root() / "Nowhere/Index.LST");
  EXPECT_FALSE(ReadFileBytes(resolved).has_value());
}

TEST(ResolvePath, DriveLettersAndTheRoot) {
  EXPECT_EQ(ResolvePath("\\"), std::filesystem::path("/"));
  EXPECT_EQ(ResolvePath("D:\\"), std::filesystem::path("/"));
  EXPECT_EQ(ResolvePath("\\\\"), std::filesystem::path("/"));
  EXPECT_EQ(ResolvePath("demo\\Daten\\").relative_path(), std::filesystem::path("demo/Daten"));
  EXPECT_TRUE(ResolvePath("demo").is_relative());
}

TEST(ReadFileBytes, RefusesDirectoriesAndMissingFiles) {
  TempTree tree;
  tree.Write("dir/file", "");
  EXPECT_FALSE(ReadFileBytes(tree.Root() / "dir").has_value());
  EXPECT_FALSE(ReadFileBytes(tree.Root() / "missing").has_value());
  EXPECT_EQ(ReadFileBytes(tree.Root() / "dir/file"), std::string());
}

TEST(WriteTextFile, WritesCrLfAndReplacesTheFile) {
  TempTree tree;
  const auto file = tree.Root() / "out.BKM";
  ASSERT_TRUE(WriteTextFile(file, "a long line\nzwei\n"));
  ASSERT_TRUE(WriteTextFile(file, "eins\nzwei\n"));
  EXPECT_EQ(*ReadFileBytes(file), "eins\r\nzwei\r\n");
  EXPECT_FALSE(WriteTextFile(tree.Root() / "no/such/dir/x", "y"));
}

TEST(IniFile, SectionsAndKeysIgnoreCaseAndTheFirstMatchWins) {
  const auto ini = IniFile::Parse(
      "; comment\r\n[Other]\r\nDataPath=wrong\r\n[KARVOLEN]\r\n  datapath = D:\\ATLAS  \r\n"
      "DataPath=second\r\nMMPlayerParam=\"/play /close\"\r\nNoEquals\r\n");
  EXPECT_EQ(ini.Get("Karvolen", "DataPath"), "D:\\ATLAS");
  EXPECT_EQ(ini.Get("karvolen", "MMPLAYERPARAM"), "/play /close");
  EXPECT_EQ(ini.Get("Karvolen", "SavePath"), std::nullopt);
  EXPECT_EQ(ini.Get("Missing", "DataPath"), std::nullopt);
  EXPECT_EQ(ini.Get("Karvolen", "NoEquals"), std::nullopt);
}

TEST(IniFile, ValuesKeepInnerBlanksAndEqualSigns) {
  const auto ini = IniFile::Parse("[K]\nA=C:\\Program Files\\x=y\nB=\n");
  EXPECT_EQ(ini.Get("K", "A"), "C:\\Program Files\\x=y");
  EXPECT_EQ(ini.Get("K", "B"), "");
}

TEST(IniFile, ReadsWindows1252AndUtf8Files) {
  EXPECT_EQ(IniFile::Parse("[K]\nP=/home/j\xF6rg\n").Get("K", "P"), "/home/j\xF6rg");
  EXPECT_EQ(IniFile::Parse("\xEF\xBB\xBF[K]\nP=/home/jörg\n").Get("K", "P"), "/home/j\xF6rg");
}

TEST(ReadProfileString, CutsLongValuesAndIgnoresFileNameCase) {
  TempTree tree;
  tree.Write("karvolen.ini", "[Karvolen]\r\nDataPath=" + std::string(700, 'd') + "\r\n");
  const std::string file = Win(tree.Root()) + "\\KARVOLEN.INI";
  EXPECT_EQ(ReadProfileString(file, "Karvolen", "DataPath", 512), std::string(511, 'd'));
  EXPECT_EQ(ReadProfileString(file, "Karvolen", "SavePath", 512), "");
  EXPECT_EQ(ReadProfileString(Win(tree.Root()) + "\\none.ini", "Karvolen", "DataPath", 512), "");
}

}  // namespace
}  // namespace ostrelin
