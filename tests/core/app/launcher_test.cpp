// The launcher in a temporary home: the per-user KARVOLEN.INI (fresh, kept, rewritten), trees
// that cannot be opened, and starting a stub in place of the atlas.
#include "app/core/launcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/text_file.h"
#include "shell/core/settings.h"
#include "tests/support/settings_fields.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

namespace fs = std::filesystem;
using test::FieldsOf;
using test::TempTree;

// A home with a demo atlas (a folder holding Daten) and a stub atlas program that notes where and
// with how many arguments it was started, then exits with 7.
struct Home {
  TempTree tree;
  LauncherEnvironment env;

  Home() {
    tree.MakeDir("share/demo-atlas/Daten");
    tree.MakeDir("home");
    env.home = (tree.Root() / "home").string();
    env.currentDirectory = tree.Root();
    env.demoAtlas = tree.Root() / "share/demo-atlas";
    env.karvolen =
        tree.Write("bin/karvolen", "#!/bin/sh\npwd -P > seen\necho $# >> seen\nexit 7\n");
    fs::permissions(env.karvolen, fs::perms::owner_all);
  }
  fs::path SettingsFolder() const { return tree.Root() / "home/.config/ostrelin"; }
  fs::path Ini() const { return SettingsFolder() / "KARVOLEN.INI"; }
  std::string IniText() const { return ReadFileBytes(Ini()).value_or("<missing>"); }
};

// What karvolen itself reads from the folder the launcher starts it in.
Settings AtlasSettings(const LaunchPlan& plan) {
  return LoadSettings(plan.workingDirectory.string(), "/usr/bin");
}

TEST(Launcher, AFreshHomeGetsSettingsThatTheAtlasReadsBack) {
  // Blanks at either end and a letter outside ASCII survive the way through the settings file.
  for (const std::string name : {"atlas", " Atlas mit Leerzeichen ", "Jörgs Atlas"}) {
    SCOPED_TRACE(name);
    Home home;
    const fs::path tree = home.tree.MakeDir(name + "/daten").parent_path();
    const LaunchPlan plan = PrepareLaunch({name + "/"}, home.env);
    ASSERT_TRUE(plan.Ready()) << plan.message;
    EXPECT_EQ(plan.workingDirectory, home.SettingsFolder());
    const Settings s = AtlasSettings(plan);
    EXPECT_EQ(s.DataPath, Utf8ToCp1252(tree.string()) + "\\");
    EXPECT_EQ(s.SavePath,
              Utf8ToCp1252((home.tree.Root() / "home/.local/share/ostrelin").string()) + "\\");
    // Bookmarks and learning records are the user's own.
    EXPECT_EQ(
        fs::status(home.tree.Root() / "home/.local/share/ostrelin").permissions() & fs::perms::all,
        fs::perms::owner_all);
  }
}

TEST(Launcher, FollowsTheXdgVariablesAndIgnoresRelativeOnes) {
  struct Case {
    std::string configHome, dataHome, settings, save;
  } cases[] = {
      {"", "", "home/.config/ostrelin", "home/.local/share/ostrelin"},
      {"ROOT/cfg", "ROOT/data", "cfg/ostrelin", "data/ostrelin"},
      {"cfg", "data", "home/.config/ostrelin", "home/.local/share/ostrelin"},
  };
  for (const Case& c : cases) {
    Home home;
    const auto rooted = [&](std::string v) {
      return v.starts_with("ROOT/") ? (home.tree.Root() / v.substr(5)).string() : v;
    };
    home.env.configHome = rooted(c.configHome);
    home.env.dataHome = rooted(c.dataHome);
    const LaunchPlan plan = PrepareLaunch({}, home.env);
    ASSERT_TRUE(plan.Ready()) << plan.message;
    EXPECT_EQ(plan.workingDirectory, home.tree.Root() / c.settings);
    EXPECT_EQ(AtlasSettings(plan).DataPath, home.env.demoAtlas.string() + "\\");
    EXPECT_EQ(AtlasSettings(plan).SavePath, (home.tree.Root() / c.save).string() + "\\");
  }
}

TEST(Launcher, SettingsForTheSameTreeAreKeptAsTheyAre) {
  Home home;
  ASSERT_TRUE(PrepareLaunch({}, home.env).Ready());
  const std::string edited = "[karvolen]\r\ndatapath=" + home.env.demoAtlas.string() +
                             "\r\nSavePath=/srv/save\r\nMMPlayer=/usr/bin/mpv\r\n";
  home.tree.Write("home/.config/ostrelin/KARVOLEN.INI", edited);
  EXPECT_TRUE(PrepareLaunch({}, home.env).Ready());
  EXPECT_EQ(home.IniText(), edited);
}

TEST(Launcher, AnotherTreeRewritesThePathsAndKeepsThePlayers) {
  Home home;
  // The tree's own settings (as atlasbau writes them) give the players the user has not set.
  home.tree.Write("other/Daten/Index.LST", "");
  home.tree.Write("other/KARVOLEN.INI",
                  "[Karvolen]\nDataPath=.\nSavePath=.\nMMPlayer=/usr/bin/ffplay\n"
                  "MMPlayerParam2=-q %s\n");
  home.tree.Write("home/.config/ostrelin/KARVOLEN.INI",
                  "[Karvolen]\nDataPath=/old/tree\nSavePath=/old/save\nMMPlayer=/usr/bin/mpv\n"
                  "MMPlayerParam=\"--fs %s\"\nMMPlayer2=/opt/my player/vlc \n");
  const LaunchPlan plan = PrepareLaunch({"other"}, home.env);
  ASSERT_TRUE(plan.Ready()) << plan.message;
  EXPECT_EQ(plan.workingDirectory, home.SettingsFolder());
  EXPECT_EQ(FieldsOf(AtlasSettings(plan)),
            FieldsOf({.DataPath = (home.tree.Root() / "other").string() + "\\",
                      .SavePath = (home.tree.Root() / "home/.local/share/ostrelin").string() + "\\",
                      .MMPlayer = "/usr/bin/mpv",
                      .MMPlayerParam = "--fs %s",
                      .MMPlayer2 = "/opt/my player/vlc",
                      .MMPlayerParam2 = "-q %s"}));
}

TEST(Launcher, AFolderWithOnlySettingsIsOpenedWithThem) {
  Home home;
  const fs::path ini =
      home.tree.Write("classroom/karvolen.ini", "[Karvolen]\nDataPath=/srv/atlas\n");
  const LaunchPlan plan = PrepareLaunch({(home.tree.Root() / "classroom").string()}, home.env);
  ASSERT_TRUE(plan.Ready()) << plan.message;
  EXPECT_EQ(plan.workingDirectory, ini.parent_path());
  EXPECT_FALSE(fs::exists(home.tree.Root() / "home/.config"));
}

TEST(Launcher, RefusesWhatItCannotOpenAndWritesNothing) {
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;
  } cases[] = {
      {{"missing"}, 1, "Der Datenbaum ROOT/missing existiert nicht."},
      {{"bin/karvolen"}, 1, "Der Datenbaum ROOT/bin/karvolen existiert nicht."},
      {{"home"},
       1,
       "ROOT/home ist kein Datenbaum: darin liegt weder der Ordner Daten noch KARVOLEN.INI."},
      {{"Baum 树"}, 1, "Der Pfad ROOT/Baum 树 enthält Zeichen"},
      {{"a", "b"}, 2, "Aufruf: ostrelin [DATENBAUM]"},
      {{""}, 2, "Aufruf: ostrelin [DATENBAUM]"},
      {{"--help"}, 0, "Aufruf: ostrelin [DATENBAUM]"},
  };
  for (const Case& c : cases) {
    Home home;
    home.tree.MakeDir("Baum 树/Daten");
    SCOPED_TRACE(c.message);
    const LaunchPlan plan = PrepareLaunch(c.arguments, home.env);
    EXPECT_FALSE(plan.Ready());
    EXPECT_EQ(plan.exitCode, c.exitCode);
    std::string expected = c.message;
    if (expected.starts_with("ROOT/")) expected.replace(0, 4, home.tree.Root().string());
    if (const size_t at = expected.find(" ROOT/"); at != std::string::npos) {
      expected.replace(at + 1, 4, home.tree.Root().string());
    }
    EXPECT_EQ(plan.message.substr(0, expected.size()), expected);
    EXPECT_FALSE(fs::exists(home.tree.Root() / "home/.config"));
  }
}

TEST(Launcher, StartsTheAtlasInTheSettingsFolderAndReturnsItsExitCode) {
  Home home;
  std::vector<std::string> reports;
  const auto report = [&](const std::string& m) { reports.push_back(m); };
  EXPECT_EQ(RunLauncher({}, home.env, report, report), 7);
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(ReadFileBytes(home.SettingsFolder() / "seen").value_or(""),
            fs::canonical(home.SettingsFolder()).string() + "\n0\n");

  EXPECT_EQ(RunLauncher({"nowhere"}, home.env, report, report), 1);
  home.env.karvolen = home.tree.Root() / "bin/missing";
  EXPECT_EQ(RunLauncher({}, home.env, report, report), 1);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1],
            "Das Atlasprogramm " + home.env.karvolen.string() + " lässt sich nicht starten.");
}

}  // namespace
}  // namespace ostrelin
