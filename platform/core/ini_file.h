#pragma once
// Initialisation files as the original platform reads them ("[Section]" headers, "key=value"
// lines). Section and key names compare ignoring case; the first matching key of the first matching
// section wins; blanks and tabs around names and values are dropped and a value enclosed in
// matching quotes loses them; lines starting with ";" are comments. The file is never written.
//
// The file is Windows-1252. A file that is valid UTF-8 and not plain ASCII (written by a Linux
// editor) is taken as UTF-8 and converted, so "DataPath=/home/jörg/atlas" means what it says.

#include <optional>
#include <string>
#include <string_view>

namespace ostrelin {

class IniFile {
 public:
  static IniFile Parse(std::string_view bytes);

  // The value of `key` in `section`, or nothing when the section or key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

 private:
  std::string text_;  // Windows-1252, as read
};

// Reads one value from the file at `windowsPath` (resolved case-insensitively). A missing file,
// section or key gives an empty value; a longer value is cut to `bufferSize - 1` bytes.
std::string ReadProfileString(std::string_view windowsPath, std::string_view section,
                              std::string_view key, size_t bufferSize);

}  // namespace ostrelin
