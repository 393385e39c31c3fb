#include "tests/support/test_players.h"

#include <signal.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace ostrelin::test {

std::filesystem::path WritePlayer(TempTree& tree, std::string_view relative,
                                  const std::filesystem::path& record, PlayerBehaviour behaviour) {
  const std::string out = record.string();
  std::string script = "#!/bin/sh\n";
  if (behaviour == PlayerBehaviour::IgnoreTerm) script += "trap '' TERM\n";
  script += "echo $$ > '" + out + ".pid'\n";
  if (behaviour != PlayerBehaviour::ExitAtOnce) {
    script += "sleep 60 &\necho $! > '" + out + ".helper'\n";
  }
  script += "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + out + ".tmp'\n";
  script += "mv '" + out + ".tmp' '" + out + "'\n";
  script += behaviour == PlayerBehaviour::ExitAtOnce ? "exit 0\n" : "wait\n";
  const std::filesystem::path path = tree.Write(relative, script);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  return path;
}

std::optional<std::vector<std::string>> WaitForRecord(const std::filesystem::path& record,
                                                      std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::error_code ec;
  while (!std::filesystem::exists(record, ec)) {
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::ifstream in(record);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

pid_t ReadPid(const std::filesystem::path& file) {
  std::ifstream in(file);
  long pid = -1;
  in >> pid;
  return in ? pid_t(pid) : pid_t(-1);
}

namespace {

bool GoneNow(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return true;
  std::stringstream text;
  text << stat.rdbuf();
  const std::string line = text.str();
  const size_t paren = line.rfind(')');
  return paren == std::string::npos || paren + 2 >= line.size() || line[paren + 2] == 'Z' ||
         line[paren + 2] == 'X';
}

}  // namespace

bool ProcessGone(pid_t pid, std::chrono::milliseconds within) {
  if (pid <= 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + within;
  while (!GoneNow(pid)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

bool IsUnreapedChild(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0;
}

}  // namespace ostrelin::test
