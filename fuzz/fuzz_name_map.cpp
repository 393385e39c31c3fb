// Renaming tables from arbitrary bytes: every entry has both sides, trimmed; a faulty line is
// reported, never taken.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "tools/demo/core/label_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using ostrelin::fuzz::Check;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> errors;
  for (const ostrelin::NameMapEntry& e : ostrelin::ParseNameMap(bytes, errors)) {
    Check(!e.source.empty() && !e.target.empty());
    Check(e.source.front() != ' ' && e.target.back() != ' ');
  }
  for (const std::string& e : errors) Check(e.starts_with("line "));
  return 0;
}
