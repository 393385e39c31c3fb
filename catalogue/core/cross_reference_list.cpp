#include "catalogue/core/cross_reference_list.h"

#include <optional>
#include <utility>

#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"
#include "resources/core/string_table.h"

namespace ostrelin {

void CrossReferenceList::Load(std::string_view dataPath) {
  std::string path(dataPath);
  path += LoadText(text::kDirDaten);
  path += LoadText(text::kFileCrossReferences);
  std::optional<std::string> bytes = ReadFileBytes(ResolvePath(path));
  if (bytes) AddList(std::move(*bytes));
}

void CrossReferenceList::AddList(std::string bytes) {
  TextReader reader(std::move(bytes));
  std::string line;
  while (reader.ReadLine(line)) {
    if (line.empty() || line.front() == '/') continue;
    const size_t hash = line.find('#');
    if (hash == std::string::npos || hash == 0) continue;
    const std::string_view key = Trimmed(std::string_view(line).substr(0, hash));
    const std::string_view entries = Trimmed(std::string_view(line).substr(hash + 1));
    if (key.empty() || entries.empty() || key.size() > kMaxKey) continue;
    keys_.emplace_back(key);
    entries_.emplace_back(entries);
  }
}

void CrossReferenceList::Lookup(std::string_view name, std::string& buffer) const {
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (EqualsAsciiNoCase(keys_[i], name)) {
      buffer = entries_[i];
      return;
    }
  }
  buffer.clear();
}

}  // namespace ostrelin
