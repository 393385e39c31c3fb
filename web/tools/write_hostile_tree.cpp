// write_hostile_tree DIR: writes the test suite's hostile data tree (every kind of file damaged
// every way) into DIR, for the WebAssembly tests and for trying the web export on it.
#include <filesystem>
#include <iostream>

#include "tests/support/hostile_tree.h"

namespace fs = std::filesystem;

// Copies what can be copied: symbolic links as links, unreadable entries are left out.
static void CopyTree(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  for (fs::directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
    const fs::path target = to / it->path().filename();
    const fs::file_status status = it->symlink_status(error);
    if (fs::is_symlink(status)) {
      fs::copy_symlink(it->path(), target, error);
    } else if (fs::is_directory(status)) {
      CopyTree(it->path(), target);
      fs::permissions(target, fs::status(it->path(), error).permissions(), error);
    } else {
      fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing, error);
      fs::permissions(target, status.permissions(), error);
    }
    error.clear();
  }
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Aufruf: write_hostile_tree ORDNER\n";
    return 2;
  }
  ostrelin::test::TempTree tree;
  ostrelin::test::WriteHostileTree(tree);
  CopyTree(tree.Root(), argv[1]);
  return 0;
}
