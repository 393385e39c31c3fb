// Page list and structure list from arbitrary bytes, then every lookup on names taken from them.
//
// The input is split at its first "\0\0": the bytes before are the page list, the bytes after the
// structure list. Without such a pair both lists get the whole input. The two lists loaded as the
// files of a data tree give the same catalogue.
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/allocation_failure.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "catalogue/core/catalogue.h"

using ostrelin::fuzz::Check;

namespace {

// Every page and every location of the catalogue is found by its own names.
void CheckSound(const ostrelin::Catalogue& catalogue) {
  using namespace ostrelin;
  IndexEntry found;
  for (size_t i = 0; i < catalogue.PageCount(); ++i) {
    const IndexEntry& page = catalogue.PageAt(long(i));
    Check(page.preferredType >= -1 && page.preferredType <= 3);
    Check(page.sex >= -1 && page.sex <= 1);
    Check(page.region >= -1 && page.region <= 4);
    // Every page is found by its own name, and it is itself: duplicates were dropped at loading.
    Check(catalogue.FindPage(page.name, found));
    Check(found == page);
    Check(&ImageFile(page, kSchnitt) == &page.imageSchnitt);
    Check(&ImageFile(page, kMR) == &page.imageMR && &ImageFile(page, kCT) == &page.imageCT);
    Check(&ImageFile(page, kSchema) == &page.imageSchema);
    Check(ImageFile(page, kNoImageType).empty());
    std::vector<std::string> list;
    catalogue.PagesOfStructure(page.defaultStructure, list);
  }
  for (size_t i = 0; i < catalogue.LocationCount(); ++i) {
    const StructureLocation& location = catalogue.LocationAt(long(i));
    std::vector<std::string> list;
    const size_t count = catalogue.PagesOfStructure(location.structure, list);
    Check(count == list.size());
    const bool outlined = location.inSchnitt || location.inCT || location.inMR || location.inSchema;
    Check(!outlined || count > 0);
    Check(!IsOutlinedOn(location, kNoImageType));
    for (const std::string& tagged : list) {
      const TaggedName split = Catalogue::SplitTaggedName(tagged);
      Check(IsImageType(split.type));
      Check(split.name.size() + TypeSuffix(split.type).size() == tagged.size());
    }
    catalogue.FindPage(location.page, found);
  }
}

// Two catalogues hold the same pages and locations in the same order.
void CheckSame(const ostrelin::Catalogue& got, const ostrelin::Catalogue& catalogue) {
  Check(got.PageCount() == catalogue.PageCount());
  Check(got.LocationCount() == catalogue.LocationCount());
  for (size_t i = 0; i < catalogue.PageCount(); ++i) {
    Check(got.PageAt(long(i)) == catalogue.PageAt(long(i)));
  }
  for (size_t i = 0; i < catalogue.LocationCount(); ++i) {
    Check(got.LocationAt(long(i)) == catalogue.LocationAt(long(i)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find(std::string_view("\0\0", 2));
  const std::string_view pages = split == std::string_view::npos ? input : input.substr(0, split);
  const std::string_view structures =
      split == std::string_view::npos ? input : input.substr(split + 2);

  Catalogue catalogue;
  catalogue.AddIndexList(pages);
  catalogue.AddStructureList(structures);

  CheckSound(catalogue);
  Catalogue::SplitTaggedName(input);
  catalogue.PageAt(-1);
  catalogue.PageAt(long(catalogue.PageCount()));
  catalogue.LocationAt(long(catalogue.LocationCount()));

  const uint32_t hash = fuzz::InputHash(input);
  // In one run of eight an allocation while reading fails: what was read up to there must still
  // be a sound catalogue. The run and the allocation are chosen by a hash of the input.
  if (hash % 8 == 0) {
    Catalogue partial;
    try {
      const fuzz::FailingAllocation failing(long(hash / 8 % 64));
      partial.AddIndexList(pages);
      partial.AddStructureList(structures);
    } catch (const std::bad_alloc&) {
    }
    CheckSound(partial);
    // Reading the lists once more completes the catalogue: pages already there stay, locations
    // already there gain nothing new.
    partial.AddIndexList(pages);
    partial.AddStructureList(structures);
    CheckSame(partial, catalogue);
    CheckSound(partial);
  }

  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (hash % 16 != 1) return 0;
  const std::string& root = fuzz::ScratchDirectory();
  fuzz::ScratchFile("Daten/Index.LST", pages);
  fuzz::ScratchFile("Daten/Struktur.LST", structures);
  Catalogue loaded;
  loaded.AddIndexList(structures);  // replaced by loading
  Check(loaded.LoadLists(root));
  CheckSame(loaded, catalogue);
  // Without the structure list loading fails after the page list; without either at once.
  fuzz::ScratchFile("half/Daten/Index.LST", pages);
  Check(!loaded.LoadLists(root + "half/"));
  Check(loaded.PageCount() == catalogue.PageCount() && loaded.LocationCount() == 0);
  Check(!loaded.LoadLists(root + "none/") && loaded.PageCount() == 0);
  return 0;
}
