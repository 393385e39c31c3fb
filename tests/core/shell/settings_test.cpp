// Loading KARVOLEN.INI: defaults, normalisation and the 511-byte values.
#include <gtest/gtest.h>

#include "shell/core/display_check.h"
#include "shell/core/settings.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::TempTree;

constexpr const char* kWinDir = "C:\\WINDOWS";

Settings LoadFrom(TempTree& tree) { return LoadSettings(tree.Root().string(), kWinDir); }

TEST(LoadSettings, WithoutASettingsFileEverythingIsDefault) {
  TempTree tree;
  const Settings s = LoadFrom(tree);
  EXPECT_EQ(s.DataPath, "\\");
  EXPECT_EQ(s.SavePath, "\\");
  EXPECT_EQ(s.MMPlayer, "C:\\WINDOWS\\MPLAYER.EXE");
  EXPECT_EQ(s.MMPlayerParam, "/play /close");
  EXPECT_EQ(s.MMPlayer2, "");
  EXPECT_EQ(s.MMPlayerParam2, "");
}

TEST(LoadSettings, PathsGetExactlyOneTrailingBackslash) {
  TempTree tree;
  tree.Write("KARVOLEN.INI",
             "[Karvolen]\r\nDataPath=D:\\ATLAS\r\nSavePath=D:\\SAVE\\\r\n"
             "MMPlayer=E:\\P\\PLAY.EXE\r\nMMPlayerParam=%s\r\n"
             "MMPlayer2=E:\\Q.EXE\r\nMMPlayerParam2=-x %s\r\n");
  const Settings s = LoadFrom(tree);
  EXPECT_EQ(s.DataPath, "D:\\ATLAS\\");
  EXPECT_EQ(s.SavePath, "D:\\SAVE\\");
  EXPECT_EQ(s.MMPlayer, "E:\\P\\PLAY.EXE");
  EXPECT_EQ(s.MMPlayerParam, "%s");
  EXPECT_EQ(s.MMPlayer2, "E:\\Q.EXE");
  EXPECT_EQ(s.MMPlayerParam2, "-x %s");
}

TEST(LoadSettings, EmptyValuesBehaveLikeMissingKeys) {
  TempTree tree;
  tree.Write("karvolen.ini", "[karvolen]\nDataPath=\nMMPlayer=\nMMPlayerParam=\n");
  const Settings s = LoadFrom(tree);
  EXPECT_EQ(s.DataPath, "\\");
  EXPECT_EQ(s.MMPlayer, "C:\\WINDOWS\\MPLAYER.EXE");
  EXPECT_EQ(s.MMPlayerParam, "/play /close");
}

TEST(LoadSettings, AWindowsDirectoryWithItsBackslashGetsNoSecondOne) {
  TempTree tree;
  EXPECT_EQ(LoadSettings(tree.Root().string(), "C:\\").MMPlayer, "C:\\MPLAYER.EXE");
}

TEST(LoadSettings, AValueIsCutTo511BytesBeforeTheBackslashIsAdded) {
  TempTree tree;
  tree.Write("KARVOLEN.INI", "[Karvolen]\r\nDataPath=" + std::string(600, 'a') + "\r\n");
  const Settings s = LoadFrom(tree);
  EXPECT_EQ(s.DataPath, std::string(511, 'a') + "\\");
}

TEST(LoadSettings, ASettingsFileThatIsADirectoryGivesTheDefaults) {
  TempTree tree;
  tree.Write("KARVOLEN.INI/inside", "");
  EXPECT_EQ(LoadFrom(tree).DataPath, "\\");
}

TEST(LoadSettings, OnlyTheGivenWorkingDirectoryIsSearched) {
  TempTree tree;
  tree.Write("KARVOLEN.INI", "[Karvolen]\nDataPath=here\n");
  tree.Write("sub/other.txt", "");
  EXPECT_EQ(LoadFrom(tree).DataPath, "here\\");
  EXPECT_EQ(LoadSettings((tree.Root() / "sub").string(), kWinDir).DataPath, "\\");
  // A working directory written with its trailing separator gets no second one.
  EXPECT_EQ(LoadSettings(tree.Root().string() + "\\", kWinDir).DataPath, "here\\");
}

struct DisplayCase {
  int bits;
  int width;
  std::string message;
  friend void PrintTo(const DisplayCase& c, std::ostream* os) {
    *os << c.bits << " bits, " << c.width << " pixels";
  }
};

class DisplayCheckTest : public testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayCheckTest, AsksOnlyAboutWhatIsWrong) {
  EXPECT_EQ(DisplayCheckMessage({GetParam().bits, GetParam().width}), GetParam().message);
}

const std::string kColours = "Die Anzahl der Farben ist zu gering! Beenden ?";
const std::string kResolution = "Die Aufl\xF6sung ist sehr gering ! Beenden ?";

INSTANTIATE_TEST_SUITE_P(Displays, DisplayCheckTest,
                         testing::Values(DisplayCase{24, 1024, ""}, DisplayCase{15, 800, ""},
                                         DisplayCase{8, 1024, kColours},
                                         DisplayCase{16, 640, kResolution},
                                         DisplayCase{14, 799, kColours + "\n" + kResolution}));

}  // namespace
}  // namespace ostrelin
