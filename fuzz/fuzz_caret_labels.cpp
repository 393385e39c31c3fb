// The label table of a NIfTI header extension from arbitrary bytes: labels have keys above 0,
// each key once.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string_view>

#include "authoring/core/label_table.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using ostrelin::fuzz::Check;
  const std::string_view xml(reinterpret_cast<const char*>(data), size);
  std::set<long> keys;
  for (const ostrelin::LabelName& n : ostrelin::ParseCaretLabels(xml)) {
    Check(n.value > 0 && keys.insert(n.value).second);
    Check(n.name.size() <= size);
  }
  return 0;
}
