#pragma once
// Stand-in media players for tests: small shell scripts that record the argument vector they were
// started with and then end at once, keep running, or even ignore a polite request to stop.
//
//   const auto record = tree.Root() / "args";
//   const auto player = WritePlayer(tree, "bin/play", record, PlayerBehaviour::KeepRunning);
//   ... start it ...
//   EXPECT_EQ(WaitForRecord(record), (std::vector<std::string>{"/play", "clip.avi"}));

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_tree.h"

namespace ostrelin::test {

enum class PlayerBehaviour {
  ExitAtOnce,   // records and ends with exit code 0
  KeepRunning,  // records, starts a helper (`sleep`) and waits for it
  IgnoreTerm,   // as KeepRunning, but SIGTERM is ignored by the script and its helper
};

// Writes an executable script at `relative` below the tree. When started it writes its own process
// id to `record` + ".pid", the helper's (if any) to `record` + ".helper", and then its arguments
// after argv[0], one per line, to `record` (all at once, so a reader never sees half a record).
std::filesystem::path WritePlayer(TempTree& tree, std::string_view relative,
                                  const std::filesystem::path& record, PlayerBehaviour behaviour);

// The recorded arguments once `record` exists; nothing if it does not appear within `timeout`.
std::optional<std::vector<std::string>> WaitForRecord(
    const std::filesystem::path& record,
    std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The process id written to a file (by the script's $$ or $!), or -1.
pid_t ReadPid(const std::filesystem::path& file);

// True when no process `pid` runs any more (it is unknown or only a zombie waiting for its parent),
// or stops running `within` that time: a killed process needs a moment to finish dying.
bool ProcessGone(pid_t pid, std::chrono::milliseconds within = std::chrono::seconds(2));

// Whether `pid` is a child of this process that has not been reaped yet.
bool IsUnreapedChild(pid_t pid);

}  // namespace ostrelin::test
