#include "platform/core/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace ostrelin {
namespace {

using Clock = std::chrono::steady_clock;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

class SpawnedProcess : public Process {
 public:
  SpawnedProcess(pid_t pid, std::chrono::milliseconds grace) : pid_(pid), grace_(grace) {}

  pid_t Id() const override { return pid_; }

  bool Running() override {
    if (reaped_) return false;
    int status = 0;
    pid_t result;
    do {
      result = waitpid(pid_, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return true;
    // Ended, or no child of ours any more (someone else reaped it): gone either way.
    reaped_ = true;
    return false;
  }

  void WaitUntilSettled(std::chrono::milliseconds settle) override {
    WaitForEnd(Clock::now() + settle);
  }

  void Terminate() override {
    if (reaped_) return;
    if (Ended()) {
      // Ended by itself: what it left behind (a player it handed the file to) is not ours to stop.
      Reap();
      return;
    }
    Signal(SIGTERM);
    WaitForEnd(Clock::now() + grace_);
    // Until it is reaped the leader keeps its id, so the group id still names our group and no
    // stranger's: sweep away what ignored the polite request.
    Signal(SIGKILL);
    Reap();
  }

 private:
  // Whether the program has ended, without reaping it (WNOWAIT): its id stays ours.
  bool Ended() const {
    siginfo_t info{};
    int result;
    do {
      result = waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
    } while (result < 0 && errno == EINTR);
    if (result < 0) return true;  // not our child any more
    return info.si_pid != 0;
  }

  // To the group and to the program itself: a program that moved to another group would be
  // missed by the group's signal, and reaping it would then wait for ever.
  void Signal(int signal) const {
    kill(-pid_, signal);
    kill(pid_, signal);
  }

  void WaitForEnd(Clock::time_point deadline) const {
    // Short steps first: a program that ends at once should cost no more than a few milliseconds.
    std::chrono::milliseconds step{1};
    while (!Ended()) {
      const Clock::time_point now = Clock::now();
      if (now >= deadline) return;
      std::this_thread::sleep_for(std::min<Clock::duration>(step, deadline - now));
      step = std::min(step * 2, std::chrono::milliseconds{10});
    }
  }

  void Reap() {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
  }

  pid_t pid_;
  std::chrono::milliseconds grace_;
  bool reaped_ = false;
};

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> arguments;
  size_t i = 0;

  // The program name: quotes toggle and vanish, backslashes are plain, an unquoted blank ends it.
  std::string name;
  bool quoted = false;
  for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else {
      name += line[i];
    }
  }
  arguments.push_back(std::move(name));

  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::string argument;
    quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      const char c = line[i];
      if (c == '\\') {
        size_t count = 0;
        while (i < line.size() && line[i] == '\\') {
          ++count;
          ++i;
        }
        if (i < line.size() && line[i] == '"') {
          argument.append(count / 2, '\\');
          if (count % 2 == 1) {
            argument += '"';
            ++i;
          }
          // An even count leaves the quote to group, on the next round.
        } else {
          argument.append(count, '\\');
        }
      } else if (c == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        argument += c;
        ++i;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::unique_ptr<Process> SpawnLauncher::Start(const std::filesystem::path& program,
                                              const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  std::string self = program.string();
  if (arguments.empty()) argv.push_back(self.data());
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  // Signals the atlas ignores (a broken pipe, say) are the player's own business again.
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);

  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return nullptr;
  return std::make_unique<SpawnedProcess>(pid, kTerminateGrace);
}

}  // namespace ostrelin
