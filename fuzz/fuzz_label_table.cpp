// Label tables from arbitrary bytes: whatever form is recognised, every label found has a value
// above 0, each value once, and its atlas name fits the lists (Windows-1252, no "#", at most
// 258 bytes).
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "authoring/core/label_names.h"
#include "authoring/core/label_table.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using ostrelin::fuzz::Check;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<ostrelin::LabelName> names;
  std::string format, error;
  const bool ok = ostrelin::ParseLabelTable(bytes, names, format, error);
  Check(ok != names.empty());
  Check(ok || !error.empty());
  std::set<long> values;
  for (const ostrelin::LabelName& n : names) {
    Check(n.value > 0 && values.insert(n.value).second);
    bool changed = false;
    const std::string stored = ostrelin::AtlasName(ostrelin::RenameLabel(n, {}), changed);
    Check(stored.size() <= 258 && stored.find('#') == std::string::npos);
  }
  return 0;
}
