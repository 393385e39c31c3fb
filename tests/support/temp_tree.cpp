#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <system_error>

namespace ostrelin::test {

TempTree::TempTree() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ostrelin-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
    return;
  }
  root_ = pattern;
}

TempTree::~TempTree() {
  if (root_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

std::string TempTree::DataPath() const {
  std::string path = root_.string();
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

std::filesystem::path TempTree::Below(std::string_view relative) const {
  std::string path(relative);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return root_ / std::filesystem::path(path).relative_path();
}

std::filesystem::path TempTree::Write(std::string_view relative, std::string_view bytes) {
  const std::filesystem::path path = Below(relative);
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  if (!out) ADD_FAILURE() << "cannot write " << path;
  return path;
}

std::filesystem::path TempTree::MakeDir(std::string_view relative) {
  const std::filesystem::path path = Below(relative);
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) ADD_FAILURE() << "cannot create " << path << ": " << ec.message();
  return path;
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace ostrelin::test
