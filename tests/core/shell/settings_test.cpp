// Loading KARVOLEN.INI: defaults, normalisation and the 511-byte values.
#include <gtest/gtest.h>

#include "shell/core/display_check.h"
#include "shell/core/settings.h"
#include "tests/support/settings_fields.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::FieldsOf;
using test::TempTree;

constexpr const char* kWinDir = "C:\\WINDOWS";

Settings LoadFrom(TempTree& tree) { return LoadSettings(tree.Root().string(), kWinDir); }

struct SettingsFileCase {
  const char* what;
  const char* fileName;  // nullptr: no settings file at all
  std::string text;
  Settings expected;
};

TEST(LoadSettings, DefaultsAndOneTrailingBackslash) {
  const Settings defaults{.DataPath = "\\",
                          .SavePath = "\\",
                          .MMPlayer = "C:\\WINDOWS\\MPLAYER.EXE",
                          .MMPlayerParam = "/play /close",
                          .MMPlayer2 = "",
                          .MMPlayerParam2 = ""};
  const SettingsFileCase cases[] = {
      {"without a settings file everything is default", nullptr, "", defaults},
      {"paths get exactly one trailing backslash",
       "KARVOLEN.INI",
       "[Karvolen]\r\nDataPath=D:\\ATLAS\r\nSavePath=D:\\SAVE\\\r\n"
       "MMPlayer=E:\\P\\PLAY.EXE\r\nMMPlayerParam=%s\r\n"
       "MMPlayer2=E:\\Q.EXE\r\nMMPlayerParam2=-x %s\r\n",
       {.DataPath = "D:\\ATLAS\\",
        .SavePath = "D:\\SAVE\\",
        .MMPlayer = "E:\\P\\PLAY.EXE",
        .MMPlayerParam = "%s",
        .MMPlayer2 = "E:\\Q.EXE",
        .MMPlayerParam2 = "-x %s"}},
      {"empty values behave like missing keys", "karvolen.ini",
       "[karvolen]\nDataPath=\nMMPlayer=\nMMPlayerParam=\n", defaults},
  };
  for (const SettingsFileCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempTree tree;
    if (c.fileName != nullptr) tree.Write(c.fileName, c.text);
    EXPECT_EQ(FieldsOf(LoadFrom(tree)), FieldsOf(c.expected));
  }
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
