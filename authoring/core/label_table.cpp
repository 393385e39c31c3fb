#include "authoring/core/label_table.h"

#include <array>

#include "platform/core/cp1252.h"
#include "platform/core/strings.h"
#include "structures/core/outline_file.h"

namespace ostrelin {

namespace {

std::string LineError(int line, std::string_view what) {
  return "line " + std::to_string(line) + ": " + std::string(what);
}

}  // namespace

bool ParseLabelTable(std::string_view bytes, std::vector<LabelEntry>& entries,
                     std::vector<std::string>& errors) {
  entries.clear();
  errors.clear();
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const bool utf8 = IsValidUtf8(bytes);
  std::array<int, 256> lineOfValue{};
  int lineNumber = 0;
  while (!bytes.empty()) {
    const size_t lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = Trimmed(line);
    if (line.empty() || line.front() == '/' || line.front() == '#') continue;

    size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    if (digits == 0 || (digits < line.size() && !IsBlankOrTab(line[digits]))) {
      errors.push_back(LineError(lineNumber, "expected a label value, blanks and a name"));
      continue;
    }
    const int value = digits > 3 ? 1000 : std::stoi(std::string(line.substr(0, digits)));
    if (value < 1 || value > 255) {
      errors.push_back(LineError(lineNumber, "label value " + std::string(line.substr(0, digits)) +
                                                 " outside 1..255 (0 is the background)"));
      continue;
    }
    const std::string_view raw = Trimmed(line.substr(digits));
    const std::string name = utf8 ? Utf8ToCp1252(raw, '\0') : std::string(raw);
    if (name.empty()) {
      errors.push_back(LineError(lineNumber, "label value " + std::to_string(value) +
                                                 " has no name"));
    } else if (name.find('\0') != std::string::npos) {
      errors.push_back(LineError(lineNumber, "the name has a character Windows-1252 lacks"));
    } else if (name.find('#') != std::string::npos) {
      errors.push_back(
          LineError(lineNumber, "the name holds \"#\", the field separator of the list files"));
    } else if (name.size() > kOutlineNameMax) {
      errors.push_back(LineError(lineNumber, "the name is longer than 258 bytes"));
    } else if (lineOfValue[size_t(value)] != 0) {
      errors.push_back(LineError(lineNumber, "label value " + std::to_string(value) +
                                                 " already named in line " +
                                                 std::to_string(lineOfValue[size_t(value)])));
    } else {
      lineOfValue[size_t(value)] = lineNumber;
      entries.push_back({value, name, lineNumber});
    }
  }
  return errors.empty();
}

}  // namespace ostrelin
