#pragma once
// What the running process holds, read from /proc: resident memory, open file descriptors and
// child processes. The soak test compares them before and after thousands of page switches.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace ostrelin::test {

struct ProcessUsage {
  long residentKb = 0;
  int openFiles = 0;
  int children = 0;
};

inline ProcessUsage MeasureProcess() {
  ProcessUsage usage;
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  usage.residentKb = resident * (sysconf(_SC_PAGESIZE) / 1024);
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    ++usage.openFiles;
  }
  --usage.openFiles;  // the iterator's own descriptor
  // Children of every thread: /proc/self/task/<tid>/children lists their process ids.
  for (auto it = std::filesystem::directory_iterator("/proc/self/task", ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::ifstream children(it->path() / "children");
    for (long pid; children >> pid;) ++usage.children;
  }
  return usage;
}

}  // namespace ostrelin::test
