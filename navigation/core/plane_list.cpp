#include "navigation/core/plane_list.h"

#include <optional>
#include <utility>

#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

constexpr std::string_view kVertical = "VERTICAL";
constexpr int kMaxPosition = 100;

// The next field of `line` from `pos`, strtok-like: leading "#" skipped, the field runs to the
// next "#" or the end. False when only separators are left.
bool NextField(std::string_view line, size_t& pos, std::string_view& field) {
  pos = line.find_first_not_of('#', pos);
  if (pos == std::string_view::npos) return false;
  size_t end = line.find('#', pos);
  if (end == std::string_view::npos) end = line.size();
  field = line.substr(pos, end - pos);
  pos = end;
  return true;
}

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi's reading of a position, but a value too large for any position reads as out of range
// instead of overflowing. -1 stands for every value outside 0 to 100.
int ReadPosition(std::string_view field) {
  size_t i = 0;
  while (i < field.size() && IsCSpace(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  long value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = value * 10 + (field[i] - '0');
    if (value > kMaxPosition) return -1;
  }
  if (negative && value != 0) return -1;
  return static_cast<int>(value);
}

}  // namespace

void PlaneList::Add(uint16_t position, std::string name) {
  positions.push_back(position);
  names.push_back(std::move(name));
}

void PlaneList::Clear() {
  positions.clear();
  names.clear();
  horizontal = true;
}

PlaneList ParsePlaneList(std::string bytes) {
  PlaneList list;
  // A buffer larger than the file: every line arrives whole.
  const size_t buffer = bytes.size() + 2;
  TextReader reader(std::move(bytes), buffer);
  std::string line;
  while (reader.ReadLine(line)) {
    const std::string_view trimmed = Trimmed(line);
    if (trimmed.empty()) continue;
    if (EqualsAsciiNoCase(trimmed, kVertical)) {
      list.horizontal = false;
      continue;
    }
    size_t pos = 0;
    std::string_view nameField;
    std::string_view positionField;
    if (!NextField(trimmed, pos, nameField) || !NextField(trimmed, pos, positionField)) continue;
    const std::string_view name = Trimmed(nameField);
    if (name.empty() || name.size() > PlaneList::kMaxName) continue;
    const int position = ReadPosition(Trimmed(positionField));
    if (position < 0) continue;
    list.Add(static_cast<uint16_t>(position), std::string(name));
  }
  return list;
}

PlaneList LoadPlaneList(std::string_view dataPath, std::string_view pictogramName) {
  std::string path(dataPath);
  path += LoadText(text::kDirDaten);
  path += pictogramName;
  path += LoadText(text::kFilePlaneListSuffix);
  std::optional<std::string> bytes = ReadFileBytes(ResolvePath(path));
  if (!bytes) return PlaneList();
  return ParsePlaneList(std::move(*bytes));
}

int FindByName(const PlaneList& list, std::string_view name) {
  for (int i = 0; i < list.Count(); ++i) {
    if (EqualsAsciiNoCase(list.names[i], name)) return i;
  }
  return 0;
}

int LinePosition(const PlaneList& list, int index, int width, int height) {
  if (index < 0 || index >= list.Count()) return 0;
  const int extent = list.horizontal ? height : width;
  return list.positions[index] * (extent - 2) / 100;
}

}  // namespace ostrelin
