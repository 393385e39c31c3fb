#pragma once
// Programs started as processes of their own, the way the atlas starts its media players: by path,
// with an argument vector, never through a shell.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelin {

// Splits a Windows command line into its argument vector, with the rules of the Windows runtime:
// - the first word is the program name: up to the first blank or tab outside double quotes; the
//   quotes group and vanish, backslashes are plain characters in it. A command line that starts
//   with a blank therefore has an empty program name;
// - the arguments after it are separated by blanks and tabs; double quotes group and are removed;
//   inside quotes two double quotes in a row give one literal quote;
// - 2n backslashes before a double quote give n backslashes and the quote groups; 2n+1 give n
//   backslashes and a literal quote; backslashes before anything else are plain characters.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// A started program. Destroying the object leaves the program running; one that ends later stays
// a zombie until the atlas ends, so owners terminate (or see the end of) what they started.
class Process {
 public:
  virtual ~Process() = default;

  virtual pid_t Id() const = 0;

  // Whether the program still runs; never blocks. A program that has ended is reaped here.
  virtual bool Running() = 0;

  // Waits until the program has had time to settle: returns as soon as it ends, at the latest
  // after `settle`. This stands in for waiting until a Windows program waits for input: Linux
  // has no such notion, and a bounded wait still tells a player that hands its file on and ends
  // at once from one that keeps playing.
  virtual void WaitUntilSettled(std::chrono::milliseconds settle) = 0;

  // Ends the program and whatever it started: asks politely (SIGTERM to it and its group), kills
  // it (SIGKILL) if it is still there after a short grace, and reaps it. Nothing when it has
  // already ended.
  virtual void Terminate() = 0;
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;

  // Starts `program` with `arguments` as its argument vector (arguments[0] is the name it sees
  // itself under). Null when it cannot be started: missing, not executable, not a program.
  virtual std::unique_ptr<Process> Start(const std::filesystem::path& program,
                                         const std::vector<std::string>& arguments) = 0;
};

// Starts programs with posix_spawn: no shell, none of the atlas's open files inherited, standard
// input from /dev/null, each program the leader of a process group of its own so that terminating
// it also ends the helpers it started. The environment and working directory are the atlas's own.
class SpawnLauncher : public ProcessLauncher {
 public:
  static constexpr std::chrono::milliseconds kTerminateGrace{500};

  std::unique_ptr<Process> Start(const std::filesystem::path& program,
                                 const std::vector<std::string>& arguments) override;
};

}  // namespace ostrelin
