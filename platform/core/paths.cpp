#include "platform/core/paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <system_error>
#include <vector>

#include "platform/core/cp1252.h"

namespace ostrelin {
namespace {

std::string FoldName(std::string_view cp1252) {
  std::string folded(cp1252);
  for (char& c : folded) c = char(FoldCp1252(static_cast<unsigned char>(c)));
  return folded;
}

// The entry of `dir` whose name equals `wanted` (Windows-1252) ignoring case, or an empty path.
std::filesystem::path FindIgnoringCase(const std::filesystem::path& dir, std::string_view wanted) {
  const std::string key = FoldName(wanted);
  std::error_code ec;
  std::filesystem::directory_iterator it(dir, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string raw = it->path().filename().string();
    const std::string name = IsValidUtf8(raw) ? Utf8ToCp1252(raw) : raw;
    if (name.size() == key.size() && FoldName(name) == key) return it->path().filename();
  }
  return {};
}

}  // namespace

std::filesystem::path ResolvePath(std::string_view windowsPath) {
  std::string_view rest = windowsPath;
  if (rest.size() >= 2 && rest[1] == ':' &&
      ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'))) {
    rest.remove_prefix(2);  // "D:name" without a separator stays relative to the working directory
  }
  const bool absolute = !rest.empty() && (rest.front() == '\\' || rest.front() == '/');

  std::vector<std::string_view> parts;
  size_t pos = 0;
  while (pos <= rest.size()) {
    const size_t sep = rest.find_first_of("\\/", pos);
    const size_t end = sep == std::string_view::npos ? rest.size() : sep;
    if (end > pos) parts.push_back(rest.substr(pos, end - pos));
    if (sep == std::string_view::npos) break;
    pos = sep + 1;
  }

  std::filesystem::path result = absolute ? std::filesystem::path("/") : std::filesystem::path();
  bool matching = true;  // stop looking once a component is missing: nothing below it exists
  for (std::string_view part : parts) {
    const std::filesystem::path asWritten(Cp1252ToUtf8(part));
    if (part == "." || part == "..") {
      result /= asWritten;
      continue;
    }
    const std::filesystem::path here = result.empty() ? std::filesystem::path(".") : result;
    std::error_code ec;
    if (matching && !std::filesystem::exists(here / asWritten, ec)) {
      const std::filesystem::path found = FindIgnoringCase(here, part);
      if (!found.empty()) {
        result /= found;
        continue;
      }
      matching = false;
    }
    result /= asWritten;
  }
  if (result.empty()) result = ".";
  return result;
}

std::string CurrentDirectory() {
  std::error_code ec;
  const std::string dir = std::filesystem::current_path(ec).string();
  if (ec) return {};
  return IsValidUtf8(dir) ? Utf8ToCp1252(dir) : dir;
}

std::string WindowsDirectory() { return "/usr/bin"; }

std::FILE* OpenForReading(std::string_view windowsPath) {
  std::FILE* file = std::fopen(ResolvePath(windowsPath).c_str(), "rb");
  struct stat status;
  if (file != nullptr && (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

}  // namespace ostrelin
