// The cross-reference list from arbitrary bytes, then a lookup of every key and of the input; the
// list loaded from a data tree holding the bytes as its file must be the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "catalogue/core/cross_reference_list.h"
#include "platform/core/strings.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string input(reinterpret_cast<const char*>(data), size);
  CrossReferenceList list;
  list.AddList(input);

  std::string buffer;
  for (size_t i = 0; i < list.Count(); ++i) {
    const std::string& key = list.KeyAt(i);
    const std::string& entries = list.EntriesAt(i);
    Check(!key.empty() && key.size() <= CrossReferenceList::kMaxKey);
    Check(!entries.empty() && entries.size() < CrossReferenceList::kEntriesBuffer);
    Check(Trimmed(key) == key && Trimmed(entries) == entries);
    Check(key.find('#') == std::string::npos);
    // A key finds its own entries unless an earlier key equals it.
    list.Lookup(key, buffer);
    size_t first = 0;
    while (!EqualsAsciiNoCase(list.KeyAt(first), key)) ++first;
    Check(first <= i && buffer == list.EntriesAt(first));
  }
  list.Lookup(input, buffer);

  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (fuzz::InputHash(input) % 16 != 1) return 0;
  const std::string& root = fuzz::ScratchDirectory();
  fuzz::ScratchFile("Daten/Objekte.LST", input);
  CrossReferenceList loaded;
  loaded.Load(root);
  Check(loaded.Count() == list.Count());
  for (size_t i = 0; i < list.Count(); ++i) {
    Check(loaded.KeyAt(i) == list.KeyAt(i) && loaded.EntriesAt(i) == list.EntriesAt(i));
  }
  loaded.Load(root + "none/");  // a missing file leaves the list as it was
  Check(loaded.Count() == list.Count());
  return 0;
}
