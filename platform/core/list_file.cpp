#include "platform/core/list_file.h"

#include "platform/core/strings.h"

namespace ostrelin {

std::vector<std::string> SplitListFields(std::string_view line) {
  std::vector<std::string> fields;
  size_t pos = 0;
  while (pos < line.size()) {
    const size_t hash = line.find('#', pos);
    const size_t end = hash == std::string_view::npos ? line.size() : hash;
    if (end > pos) fields.emplace_back(Trimmed(line.substr(pos, end - pos)));
    pos = end + 1;
  }
  return fields;
}

bool ReadListLine(TextReader& reader, std::vector<std::string>& fields) {
  std::string line;
  while (reader.ReadLine(line)) {
    const std::string_view text = Trimmed(line);
    if (text.empty() || text.front() == '/') continue;
    fields = SplitListFields(text);
    return true;
  }
  return false;
}

}  // namespace ostrelin
