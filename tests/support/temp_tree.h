#pragma once
// A throw-away directory tree for tests that read files: created empty under the system's
// temporary directory with a unique name, filled with files of given bytes, removed with all its
// contents when the object goes.
//
//   TempTree tree;
//   tree.Write("Daten/Index.LST", WithCrLf("Herz#herz.txt#...\n"));
//   catalogue.LoadLists(tree.DataPath());   // "\tmp\ostrelin-test-XXXXXX\"

#include <filesystem>
#include <string>
#include <string_view>

namespace ostrelin::test {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::filesystem::path& Root() const { return root_; }

  // The root as the atlas writes a data path: backslashes, ending in one.
  std::string DataPath() const;

  // Writes `bytes` exactly (no line-break conversion) to `relative` below the root, creating the
  // folders on the way; "/" and "\" both separate. Returns the file's full path. A file that
  // cannot be written fails the running test.
  std::filesystem::path Write(std::string_view relative, std::string_view bytes);

  // Creates a folder (and its parents) below the root and returns its full path.
  std::filesystem::path MakeDir(std::string_view relative);

 private:
  std::filesystem::path Below(std::string_view relative) const;

  std::filesystem::path root_;
};

// `text` with every LF turned into CR LF, as the data files are written.
std::string WithCrLf(std::string_view text);

}  // namespace ostrelin::test
