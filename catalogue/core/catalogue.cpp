#include "catalogue/core/catalogue.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/core/list_file.h"
#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

constexpr size_t kIndexFields = 11;
constexpr size_t kStructureFields = 3;

// An upper bound for the entries a list can add: one per line, and a line of n fields takes at
// least 2n bytes (n one-byte fields, n - 1 separators, a line break). The second bound keeps a
// file of nothing but line breaks from reserving room for millions of entries.
size_t MostEntries(std::string_view bytes, size_t fields) {
  const size_t lines = size_t(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
  return std::min(lines, bytes.size() / (2 * fields) + 1);
}

std::string ListPath(std::string_view dataPath, int fileText) {
  std::string path(dataPath);
  path += LoadText(text::kDirDaten);
  path += LoadText(fileText);
  return path;
}

}  // namespace

const std::string& ImageFile(const IndexEntry& page, ImageType type) {
  static const std::string none;
  switch (type) {
    case kSchnitt: return page.imageSchnitt;
    case kMR: return page.imageMR;
    case kCT: return page.imageCT;
    case kSchema: return page.imageSchema;
    default: return none;
  }
}

bool IsOutlinedOn(const StructureLocation& location, ImageType type) {
  switch (type) {
    case kSchnitt: return location.inSchnitt;
    case kMR: return location.inMR;
    case kCT: return location.inCT;
    case kSchema: return location.inSchema;
    default: return false;
  }
}

bool Catalogue::LoadLists(std::string_view dataPath) {
  Clear();
  std::optional<std::string> bytes =
      ReadFileBytes(ResolvePath(ListPath(dataPath, text::kFileIndexList)));
  if (!bytes) return false;
  ReadIndexList(std::move(*bytes));
  bytes = ReadFileBytes(ResolvePath(ListPath(dataPath, text::kFileStructureList)));
  if (!bytes) return false;
  ReadStructureList(std::move(*bytes));
  return true;
}

void Catalogue::AddIndexList(std::string_view bytes) { ReadIndexList(std::string(bytes)); }

void Catalogue::AddStructureList(std::string_view bytes) { ReadStructureList(std::string(bytes)); }

void Catalogue::ReadIndexList(std::string bytes) {
  // Room for every line at once: growing step by step would move every entry several times.
  const size_t most = pages_.size() + MostEntries(bytes, kIndexFields);
  pages_.reserve(most);
  pageIndex_.Reserve(most);
  TextReader reader(std::move(bytes));
  std::vector<std::string> fields;
  while (ReadListLine(reader, fields)) {
    if (fields.size() != kIndexFields) continue;
    IndexEntry page;
    page.name = std::move(fields[0]);
    page.textFile = std::move(fields[1]);
    page.imageSchnitt = std::move(fields[2]);
    page.imageCT = std::move(fields[3]);
    page.imageMR = std::move(fields[4]);
    page.imageSchema = std::move(fields[5]);
    page.defaultStructure = std::move(fields[6]);
    page.preferredType = ImageTypeFromLetter(fields[7]);
    page.sex = SexFromLetter(fields[8]);
    page.region = RegionFromLetter(fields[9]);
    page.planeName = std::move(fields[10]);
    AddPage(std::move(page));
  }
}

void Catalogue::ReadStructureList(std::string bytes) {
  // Room for every line at once, the chains too: adding a location then allocates nothing, so
  // running out of memory while reading leaves the locations read so far and their indexes in step.
  const size_t most = locations_.size() + MostEntries(bytes, kStructureFields);
  locations_.reserve(most);
  nextOfStructure_.reserve(most);
  chains_.reserve(most);
  locationIndex_.Reserve(most);
  chainIndex_.Reserve(most);
  TextReader reader(std::move(bytes));
  std::vector<std::string> fields;
  while (ReadListLine(reader, fields)) {
    if (fields.size() != kStructureFields) continue;
    StructureLocation location;
    location.structure = std::move(fields[0]);
    location.page = std::move(fields[1]);
    for (char letter : fields[2]) {
      switch (ImageTypeOfLetter(letter)) {
        case kSchnitt: location.inSchnitt = true; break;
        case kCT: location.inCT = true; break;
        case kMR: location.inMR = true; break;
        case kSchema: location.inSchema = true; break;
        default: break;  // blanks, commas and anything else between the letters
      }
    }
    AddLocation(std::move(location));
  }
}

void Catalogue::AddPage(IndexEntry page) {
  const uint64_t hash = NameIndex::Hash(page.name);
  const uint32_t existing = pageIndex_.Find(
      hash, [&](uint32_t id) { return EqualsAsciiNoCase(pages_[id].name, page.name); });
  if (existing != NameIndex::kNone) return;  // the first definition of a page stays
  pageIndex_.Insert(hash, uint32_t(pages_.size()));
  pages_.push_back(std::move(page));
}

void Catalogue::AddLocation(StructureLocation location) {
  const uint64_t structureHash = NameIndex::Hash(location.structure);
  const uint64_t pairHash = NameIndex::Combine(structureHash, NameIndex::Hash(location.page));
  const uint32_t existing = locationIndex_.Find(pairHash, [&](uint32_t id) {
    return EqualsAsciiNoCase(locations_[id].structure, location.structure) &&
           EqualsAsciiNoCase(locations_[id].page, location.page);
  });
  if (existing != NameIndex::kNone) {
    // The same structure on the same page again: its image types add up, none is ever taken away.
    StructureLocation& known = locations_[existing];
    known.inSchnitt = known.inSchnitt || location.inSchnitt;
    known.inCT = known.inCT || location.inCT;
    known.inMR = known.inMR || location.inMR;
    known.inSchema = known.inSchema || location.inSchema;
    return;
  }

  const uint32_t id = uint32_t(locations_.size());
  const uint32_t chain = chainIndex_.Find(structureHash, [&](uint32_t c) {
    return EqualsAsciiNoCase(locations_[chains_[c].first].structure, location.structure);
  });
  if (chain == NameIndex::kNone) {
    chains_.push_back(Chain{id, id});
    chainIndex_.Insert(structureHash, uint32_t(chains_.size() - 1));
  } else {
    nextOfStructure_[chains_[chain].last] = id;
    chains_[chain].last = id;
  }
  locationIndex_.Insert(pairHash, id);
  locations_.push_back(std::move(location));
  nextOfStructure_.push_back(NameIndex::kNone);
}

void Catalogue::Clear() {
  pages_.clear();
  locations_.clear();
  nextOfStructure_.clear();
  chains_.clear();
  pageIndex_.Clear();
  locationIndex_.Clear();
  chainIndex_.Clear();
}

const IndexEntry& Catalogue::PageAt(long position) const {
  static const IndexEntry kEmpty;
  if (position < 0 || size_t(position) >= pages_.size()) return kEmpty;
  return pages_[size_t(position)];
}

const StructureLocation& Catalogue::LocationAt(long position) const {
  static const StructureLocation kEmpty;
  if (position < 0 || size_t(position) >= locations_.size()) return kEmpty;
  return locations_[size_t(position)];
}

uint32_t Catalogue::FindPageId(std::string_view name) const {
  return pageIndex_.Find(NameIndex::Hash(name),
                         [&](uint32_t id) { return EqualsAsciiNoCase(pages_[id].name, name); });
}

bool Catalogue::FindPage(std::string_view name, IndexEntry& out) const {
  const uint32_t id = FindPageId(name);
  if (id == NameIndex::kNone) return false;
  out = pages_[id];
  return true;
}

size_t Catalogue::PagesOfStructure(std::string_view structure,
                                   std::vector<std::string>& list) const {
  const uint32_t chain = chainIndex_.Find(NameIndex::Hash(structure), [&](uint32_t c) {
    return EqualsAsciiNoCase(locations_[chains_[c].first].structure, structure);
  });
  if (chain == NameIndex::kNone) return list.size();
  for (uint32_t id = chains_[chain].first; id != NameIndex::kNone; id = nextOfStructure_[id]) {
    const StructureLocation& location = locations_[id];
    for (ImageType type : kImageTypesInOfferOrder) {
      if (IsOutlinedOn(location, type))
        list.push_back(location.page + std::string(TypeSuffix(type)));
    }
  }
  return list.size();
}

TaggedName Catalogue::SplitTaggedName(std::string_view tagged) {
  for (ImageType type : kImageTypesInOfferOrder) {
    const std::string_view suffix = TypeSuffix(type);
    if (tagged.ends_with(suffix)) {
      return TaggedName{std::string(tagged.substr(0, tagged.size() - suffix.size())), type};
    }
  }
  return TaggedName{std::string(tagged), kNoImageType};
}

}  // namespace ostrelin
