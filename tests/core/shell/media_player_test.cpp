// Sound and video: wave names to the wave output, everything else to real player processes.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "shell/core/media_player.h"
#include "tests/support/recording_cursor.h"
#include "tests/support/temp_tree.h"
#include "tests/support/test_players.h"

namespace ostrelin {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using test::PlayerBehaviour;
using test::TempTree;

class RecordingWaveOutput : public WaveOutput {
 public:
  void Play(const std::filesystem::path& file) override {
    calls.push_back("play " + file.string());
  }
  void Stop() override { calls.push_back("stop"); }
  Strings calls;
};

// A Windows-style path of a file below the tree, as a settings file would name it.
std::string WindowsPath(const std::filesystem::path& path) {
  std::string text = path.string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

class MediaPlayerTest : public ::testing::Test {
 protected:
  MediaPlayerTest() {
    settings_.DataPath = tree_.DataPath();
    settings_.MMPlayerParam = "/play /close";
    tree_.Write("MultiMed/Herz Schlag.avi", "video");
  }

  // Installs a first (and optionally second) player with the given behaviour.
  void FirstPlayer(PlayerBehaviour behaviour, std::string param) {
    settings_.MMPlayer = WindowsPath(test::WritePlayer(tree_, "bin/first", first_, behaviour));
    settings_.MMPlayerParam = std::move(param);
  }
  void SecondPlayer(PlayerBehaviour behaviour, std::string param) {
    settings_.MMPlayer2 = WindowsPath(test::WritePlayer(tree_, "bin/second", second_, behaviour));
    settings_.MMPlayerParam2 = std::move(param);
  }

  MediaPlayer& Player() {
    // A generous settle time: a loaded test machine must not make a quick player look slow.
    if (!player_) player_.emplace(settings_, waitCursor_, launcher_, waves_, 1s);
    return *player_;
  }

  std::string Clip() const { return (tree_.Root() / "MultiMed" / "Herz Schlag.avi").string(); }
  pid_t Pid(const std::filesystem::path& record) const {
    return test::ReadPid(record.string() + ".pid");
  }

  TempTree tree_;
  std::filesystem::path first_ = tree_.Root() / "first.args";
  std::filesystem::path second_ = tree_.Root() / "second.args";
  Settings settings_;
  test::RecordingCursorService cursors_;
  WaitCursor waitCursor_{cursors_};
  SpawnLauncher launcher_;
  RecordingWaveOutput waves_;
  std::optional<MediaPlayer> player_;
};

TEST_F(MediaPlayerTest, TheDefaultSwitchesPassNoFileName) {
  FirstPlayer(PlayerBehaviour::ExitAtOnce, "/play /close");
  Player().PlayMedia("Herz Schlag.avi");
  EXPECT_EQ(test::WaitForRecord(first_), (Strings{"/play", "/close"}));
}

TEST_F(MediaPlayerTest, PercentSGivesTheWholeResolvedPathWhateverItHolds) {
  const std::string odd = "a \"b\" c;touch pwned $(touch pwned2) `id`.mpg";
  const std::string file = tree_.Write("MultiMed/Sub/" + odd, "x").string();
  FirstPlayer(PlayerBehaviour::ExitAtOnce, "-fs \"%s\" -title=%s");
  // Written with other case and backslashes in the link: resolved on disk.
  Player().PlayMedia("SUB\\" + odd);
  EXPECT_EQ(test::WaitForRecord(first_), (Strings{"-fs", file, "-title=" + file}));
  EXPECT_FALSE(std::filesystem::exists(tree_.Root() / "pwned"));
  EXPECT_FALSE(std::filesystem::exists("pwned2"));
}

TEST_F(MediaPlayerTest, NoOtherFormatTextIsInterpreted) {
  FirstPlayer(PlayerBehaviour::ExitAtOnce, "%n %d %x %% %s%s 100% \"%S\" \xC4rzte");
  Player().PlayMedia("Herz Schlag.avi");
  EXPECT_EQ(test::WaitForRecord(first_),
            (Strings{"%n", "%d", "%x", "%%", Clip() + Clip(), "100%", "%S", "\xC3\x84rzte"}));
}

TEST_F(MediaPlayerTest, APlayerThatEndsAtOnceMakesTheSecondStartAndTheSecondIsTracked) {
  FirstPlayer(PlayerBehaviour::ExitAtOnce, "/play %s");
  SecondPlayer(PlayerBehaviour::KeepRunning, "--second \"%s\"");
  Player().PlayMedia("Herz Schlag.avi");
  EXPECT_EQ(test::WaitForRecord(first_), (Strings{"/play", Clip()}));
  EXPECT_EQ(test::WaitForRecord(second_), (Strings{"--second", Clip()}));
  ASSERT_NE(Player().TrackedPlayer(), nullptr);
  const pid_t second = Pid(second_);
  EXPECT_EQ(Player().TrackedPlayer()->Id(), second);
  EXPECT_FALSE(test::IsUnreapedChild(Pid(first_)));  // the ended first player left no zombie

  Player().StopMedia();
  EXPECT_TRUE(test::ProcessGone(second));
  EXPECT_FALSE(test::IsUnreapedChild(second));
  EXPECT_EQ(Player().TrackedPlayer(), nullptr);
}

TEST_F(MediaPlayerTest, APlayerThatKeepsRunningIsNotFollowedByTheSecond) {
  FirstPlayer(PlayerBehaviour::KeepRunning, "%s");
  SecondPlayer(PlayerBehaviour::ExitAtOnce, "%s");
  Player().PlayMedia("Herz Schlag.avi");
  EXPECT_EQ(test::WaitForRecord(first_), (Strings{Clip()}));
  EXPECT_FALSE(std::filesystem::exists(second_));
  EXPECT_EQ(Player().TrackedPlayer()->Id(), Pid(first_));
}

TEST_F(MediaPlayerTest, AFirstPlayerThatCannotStartFallsBackAndAMissingSecondIsQuiet) {
  settings_.MMPlayer = tree_.DataPath() + "bin\\MPLAYER.EXE";  // exists nowhere
  SecondPlayer(PlayerBehaviour::ExitAtOnce, "-x");
  Player().PlayMedia("Herz Schlag.avi");
  EXPECT_EQ(test::WaitForRecord(second_), (Strings{"-x"}));

  settings_.MMPlayer2 = tree_.DataPath() + "nirgends\\auch.exe";
  player_.reset();
  Player().PlayMedia("Herz Schlag.avi");  // nothing starts, nothing is said
  EXPECT_EQ(Player().TrackedPlayer(), nullptr);
  Player().StopMedia();
}

TEST_F(MediaPlayerTest, AFirstPlayerThatIsAFolderOrNoProgramFallsBack) {
  SecondPlayer(PlayerBehaviour::ExitAtOnce, "%s");
  tree_.MakeDir("bin/Ordner.exe");
  tree_.Write("bin/notiz.exe", "#!/bin/sh\nexit 0\n");  // not executable
  for (const char* first : {"bin\\Ordner.exe", "BIN\\NOTIZ.EXE"}) {
    std::filesystem::remove(second_);
    settings_.MMPlayer = tree_.DataPath() + first;
    player_.reset();
    Player().PlayMedia("Herz Schlag.avi");
    EXPECT_EQ(test::WaitForRecord(second_), (Strings{Clip()})) << first;
  }
}

TEST_F(MediaPlayerTest, APlayerThatHandedItsFileOnLeavesTheOtherInstanceAlone) {
  // The first player passes the file to a running instance and ends: that instance, though it
  // shares the player's process group, is not the atlas's to stop.
  const std::string out = first_.string();
  const auto script =
      tree_.Write("bin/handoff", "#!/bin/sh\nsleep 60 &\necho $! > '" + out + ".tmp'\nmv '" + out +
                                     ".tmp' '" + out + "'\nexit 0\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  settings_.MMPlayer = WindowsPath(script);
  Player().PlayMedia("Herz Schlag.avi");
  const auto record = test::WaitForRecord(first_);
  ASSERT_TRUE(record.has_value());
  const pid_t instance = test::ReadPid(first_);
  ASSERT_GT(instance, 0);
  Player().StopMedia();
  player_.reset();
  EXPECT_FALSE(test::ProcessGone(instance, 300ms));
  kill(instance, SIGKILL);
}

TEST_F(MediaPlayerTest, AnExeNameFindsTheLinuxProgramWithoutExtension) {
  test::WritePlayer(tree_, "bin/mplayer", first_, PlayerBehaviour::ExitAtOnce);
  settings_.MMPlayer = tree_.DataPath() + "BIN\\MPLAYER.EXE";
  Player().PlayMedia("Herz Schlag.avi");
  EXPECT_EQ(test::WaitForRecord(first_), (Strings{"/play", "/close"}));
}

TEST_F(MediaPlayerTest, TheNextRequestAndTheEndTerminateARunningPlayer) {
  FirstPlayer(PlayerBehaviour::KeepRunning, "%s");
  Player().PlayMedia("Herz Schlag.avi");
  ASSERT_TRUE(test::WaitForRecord(first_).has_value());
  const pid_t one = Pid(first_);
  const pid_t helper = test::ReadPid(first_.string() + ".helper");
  std::filesystem::remove(first_);

  Player().PlayMedia("Herz Schlag.avi");  // another video: the first player goes
  EXPECT_TRUE(test::ProcessGone(one));
  EXPECT_TRUE(test::ProcessGone(helper));
  ASSERT_TRUE(test::WaitForRecord(first_).has_value());
  const pid_t two = Pid(first_);
  EXPECT_NE(one, two);

  player_.reset();  // the atlas ends
  EXPECT_TRUE(test::ProcessGone(two));
  EXPECT_FALSE(test::IsUnreapedChild(two));
}

TEST_F(MediaPlayerTest, WaveNamesInAnyCaseGoToTheWaveOutputAfterAStop) {
  FirstPlayer(PlayerBehaviour::ExitAtOnce, "%s");
  Player().PlayMedia("Ton.WaV");
  Player().PlayWave("START.WAV");
  const std::string dir = (tree_.Root() / "MultiMed").string();
  EXPECT_EQ(waves_.calls,
            (Strings{"stop", "play " + dir + "/Ton.WaV", "play " + dir + "/START.WAV"}));
  EXPECT_FALSE(std::filesystem::exists(first_));

  Player().PlayMedia(".wav");  // four characters: no wave file's name
  EXPECT_EQ(test::WaitForRecord(first_), (Strings{dir + "/.wav"}));
}

TEST_F(MediaPlayerTest, TheWaitCursorIsShownWhileAPlayerStarts) {
  FirstPlayer(PlayerBehaviour::ExitAtOnce, "%s");
  cursors_.current = CursorShape::Hand;
  Player().PlayMedia("Herz Schlag.avi");
  ASSERT_EQ(cursors_.shown.size(), 2u);
  EXPECT_EQ(cursors_.shown[0].shape, CursorShape::Wait);
  EXPECT_EQ(cursors_.shown[1].shape, CursorShape::Hand);
}

}  // namespace
}  // namespace ostrelin
