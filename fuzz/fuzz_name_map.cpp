// Renaming tables from arbitrary bytes: every entry has both sides, trimmed; a faulty line is
// reported, never taken. A label named like an entry's source is renamed to the first entry of
// that name, and every atlas name made from the bytes fits a list line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "authoring/core/label_names.h"
#include "fuzz/fuzz_check.h"
#include "platform/core/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ostrelin;
  using fuzz::Check;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> errors;
  const std::vector<NameMapEntry> map = ParseNameMap(bytes, errors);
  for (const NameMapEntry& e : map) {
    Check(!e.source.empty() && !e.target.empty());
    Check(e.source.front() != ' ' && e.target.back() != ' ');
  }
  for (const std::string& e : errors) Check(e.starts_with("line "));

  for (size_t i = 0; i < map.size() && i < 64; ++i) {
    LabelName label;
    label.value = long(i) + 1;
    label.name = map[i].source;
    size_t first = 0;
    while (map[first].source != label.name) ++first;
    Check(RenameLabel(label, map) == map[first].target);
    // The same name in capitals: an entry of exactly that name wins, otherwise one found ignoring
    // case, at the latest this one.
    for (char& c : label.name) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
    const std::string renamed = RenameLabel(label, map);
    size_t exact = 0;
    while (exact < map.size() && map[exact].source != label.name) ++exact;
    bool found = exact < map.size() && renamed == map[exact].target;
    for (size_t k = 0; k <= i && !found && exact == map.size(); ++k) {
      found = renamed == map[k].target;
    }
    Check(found);
  }
  // A label without a name is renamed by its value, or named after it.
  LabelName unnamed;
  unnamed.value = 1;
  std::string byValue = "Struktur 1";
  for (const NameMapEntry& e : map) {
    if (e.source == "1") {
      byValue = e.target;
      break;
    }
  }
  Check(RenameLabel(unnamed, map) == byValue);

  bool changed = false;
  const std::string name = AtlasName(bytes.substr(0, 1024), changed);
  Check(name.size() <= 258 && name.find('#') == std::string::npos && Trimmed(name) == name);
  for (char c : name) Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  return 0;
}
