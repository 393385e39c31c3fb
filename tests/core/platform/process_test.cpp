// Starting, watching and terminating real processes, and the Windows command-line rules.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "platform/core/process.h"
#include "tests/support/temp_tree.h"
#include "tests/support/test_players.h"

namespace ostrelin {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using test::PlayerBehaviour;
using test::TempTree;

TEST(SplitCommandLine, BlanksSeparateQuotesGroupBackslashesEscapeOnlyQuotes) {
  // The leading blank the atlas puts before a player's switches leaves the program name empty.
  EXPECT_EQ(SplitCommandLine(" /play /close"), (Strings{"", "/play", "/close"}));
  EXPECT_EQ(SplitCommandLine(""), (Strings{""}));
  EXPECT_EQ(SplitCommandLine("prog \t a\t\tb  "), (Strings{"prog", "a", "b"}));
  EXPECT_EQ(SplitCommandLine(R"( "C:\Mein Ordner\a b.avi" x"y z"w "")"),
            (Strings{"", R"(C:\Mein Ordner\a b.avi)", "xy zw", ""}));
  EXPECT_EQ(SplitCommandLine(R"( a\\b a\"b a\\"b c" a\\\"b "a""b")"),
            (Strings{"", R"(a\\b)", R"(a"b)", R"(a\b c)", R"(a\"b)", R"(a"b)"}));
  EXPECT_EQ(SplitCommandLine(R"( "C:\Pfad\\" next "unclosed  quote)"),
            (Strings{"", R"(C:\Pfad\)", "next", "unclosed  quote"}));
  EXPECT_EQ(SplitCommandLine(R"( trailing\)"), (Strings{"", R"(trailing\)"}));
}

TEST(SplitCommandLine, TheProgramNameKeepsBackslashesAndEndsAtAnUnquotedBlank) {
  EXPECT_EQ(SplitCommandLine(R"("C:\Pro gramme\p.exe" -x)"),
            (Strings{R"(C:\Pro gramme\p.exe)", "-x"}));
  // The backslash does not escape the quote: it opens quoting, and the blank becomes part of it.
  EXPECT_EQ(SplitCommandLine(R"(C:\dir\\p.exe\" a" b)"), (Strings{R"(C:\dir\\p.exe\ a)", "b"}));
}

class SpawnLauncherTest : public ::testing::Test {
 protected:
  std::filesystem::path Player(PlayerBehaviour behaviour) {
    return test::WritePlayer(tree_, "bin/player", record_, behaviour);
  }
  pid_t HelperPid() const { return test::ReadPid(record_.string() + ".helper"); }

  TempTree tree_;
  std::filesystem::path record_ = tree_.Root() / "args";
  SpawnLauncher launcher_;
};

TEST_F(SpawnLauncherTest, ArgumentsArriveAsPlainCharactersWithoutAShell) {
  const auto player = Player(PlayerBehaviour::ExitAtOnce);
  const std::string marker = (tree_.Root() / "pwned").string();
  const Strings arguments{"player",
                          "two words",
                          "\"quoted\"",
                          "a;touch " + marker,
                          "$(touch " + marker + ")",
                          "`touch " + marker + "`",
                          "*",
                          ""};
  auto process = launcher_.Start(player, arguments);
  ASSERT_NE(process, nullptr);
  const auto received = test::WaitForRecord(record_);
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(*received, Strings(arguments.begin() + 1, arguments.end()));
  process->WaitUntilSettled(5s);
  EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(SpawnLauncherTest, WhatCannotRunIsNotStarted) {
  const auto plain = tree_.Write("plain.txt", "no program");
  const auto noShebang = tree_.Write("noshebang",
                                     "\x7f"
                                     "ELF garbage");
  std::filesystem::permissions(noShebang, std::filesystem::perms::owner_all);
  EXPECT_EQ(launcher_.Start(tree_.Root() / "missing", {"missing"}), nullptr);
  EXPECT_EQ(launcher_.Start(plain, {"plain"}), nullptr);
  EXPECT_EQ(launcher_.Start(noShebang, {"x"}), nullptr);
  EXPECT_EQ(launcher_.Start(tree_.Root(), {"dir"}), nullptr);
}

TEST_F(SpawnLauncherTest, AProgramThatEndsAtOnceIsSeenEndedEarlyAndReaped) {
  auto process = launcher_.Start(Player(PlayerBehaviour::ExitAtOnce), {"player"});
  ASSERT_NE(process, nullptr);
  const auto started = std::chrono::steady_clock::now();
  process->WaitUntilSettled(10s);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_FALSE(process->Running());
  EXPECT_FALSE(test::IsUnreapedChild(process->Id()));
  process->Terminate();  // nothing left to do
}

TEST_F(SpawnLauncherTest, TerminateEndsAPlayerThatKeepsRunningWithItsHelpers) {
  auto process = launcher_.Start(Player(PlayerBehaviour::KeepRunning), {"player"});
  ASSERT_NE(process, nullptr);
  ASSERT_TRUE(test::WaitForRecord(record_).has_value());
  const auto started = std::chrono::steady_clock::now();
  process->WaitUntilSettled(200ms);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 200ms);
  EXPECT_TRUE(process->Running());
  const pid_t helper = HelperPid();
  ASSERT_FALSE(test::ProcessGone(helper, 0ms));

  process->Terminate();
  EXPECT_FALSE(process->Running());
  EXPECT_TRUE(test::ProcessGone(process->Id(), 0ms));
  EXPECT_FALSE(test::IsUnreapedChild(process->Id()));
  EXPECT_TRUE(test::ProcessGone(helper));
}

TEST_F(SpawnLauncherTest, APlayerIgnoringTheRequestIsKilledAfterTheGrace) {
  auto process = launcher_.Start(Player(PlayerBehaviour::IgnoreTerm), {"player"});
  ASSERT_NE(process, nullptr);
  ASSERT_TRUE(test::WaitForRecord(record_).has_value());
  const pid_t helper = HelperPid();
  const auto started = std::chrono::steady_clock::now();
  process->Terminate();
  EXPECT_GE(std::chrono::steady_clock::now() - started, SpawnLauncher::kTerminateGrace);
  EXPECT_FALSE(test::IsUnreapedChild(process->Id()));
  EXPECT_TRUE(test::ProcessGone(process->Id(), 0ms));
  EXPECT_TRUE(test::ProcessGone(helper));
}

TEST_F(SpawnLauncherTest, APlayerThatLeftItsProcessGroupIsStillEnded) {
  // Signals to the group alone would miss it, and reaping it would then wait for ever.
  if (!std::filesystem::exists("/usr/bin/perl")) GTEST_SKIP() << "needs perl";
  const auto script =
      tree_.Write("bin/wanderer",
                  "#!/bin/sh\n"
                  "exec /usr/bin/perl -e 'setpgrp(0, getpgrp(getppid())) or exit 1; "
                  "open(my $f, \">\", $ARGV[0]) or exit 1; close($f); sleep 60' '" +
                      record_.string() + "'\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  auto process = launcher_.Start(script, {"wanderer"});
  ASSERT_NE(process, nullptr);
  ASSERT_TRUE(test::WaitForRecord(record_).has_value());
  ASSERT_NE(getpgid(process->Id()), process->Id());
  process->Terminate();
  EXPECT_FALSE(test::IsUnreapedChild(process->Id()));
  EXPECT_TRUE(test::ProcessGone(process->Id(), 0ms));
}

TEST_F(SpawnLauncherTest, TheAtlasFilesAreNotInheritedAndInputIsEmpty) {
  const auto script =
      tree_.Write("bin/probe",
                  "#!/bin/sh\n"
                  "{ [ -e /proc/$$/fd/200 ] && echo inherited || echo closed; cat; } > '" +
                      record_.string() +
                      ".tmp'\n"
                      "mv '" +
                      record_.string() + ".tmp' '" + record_.string() + "'\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const int fd = open(script.c_str(), O_RDONLY);  // without close-on-exec
  ASSERT_GE(fd, 0);
  ASSERT_EQ(dup2(fd, 200), 200);
  auto process = launcher_.Start(script, {"probe"});
  close(200);
  close(fd);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(test::WaitForRecord(record_), (Strings{"closed"}));
  process->WaitUntilSettled(5s);
}

}  // namespace
}  // namespace ostrelin
