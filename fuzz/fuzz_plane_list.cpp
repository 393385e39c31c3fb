// A plane list from arbitrary bytes: every accepted plane has a trimmed name without "#" that fits
// the transfer buffer and a position of 0 to 100; a name finds a plane no later than its own, and
// every line lies on the pictogram. Loaded from a file of the data tree, the same bytes give the
// same list; a missing file gives an empty horizontal one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "navigation/core/plane_list.h"
#include "platform/core/strings.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const PlaneList list = ParsePlaneList(input);
  Check(list.positions.size() == list.names.size());
  for (int i = 0; i < list.Count(); ++i) {
    const std::string& name = list.names[i];
    Check(!name.empty() && name.size() <= PlaneList::kMaxName);
    Check(Trimmed(name) == name && name.find('#') == std::string::npos);
    Check(list.positions[i] <= 100);
    const int found = FindByName(list, name);
    Check(found <= i && EqualsAsciiNoCase(list.names[found], name));
    const int line = LinePosition(list, i, 192, 355);
    Check(0 <= line && line <= (list.horizontal ? 353 : 190));
  }
  FindByName(list, input);

  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (fuzz::InputHash(input) % 16 != 1) return 0;
  const std::string& root = fuzz::ScratchDirectory();
  fuzz::ScratchFile("Daten/fuzz.POS", input);
  const PlaneList loaded = LoadPlaneList(root, "fuzz");
  Check(loaded.names == list.names && loaded.positions == list.positions &&
        loaded.horizontal == list.horizontal);
  const PlaneList missing = LoadPlaneList(root, "none");
  Check(missing.Empty() && missing.horizontal);
  PlaneList cleared = loaded;
  cleared.Clear();
  Check(cleared.Empty() && cleared.positions.empty() && cleared.horizontal);
  return 0;
}
