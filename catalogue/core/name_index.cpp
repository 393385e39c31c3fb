#include "catalogue/core/name_index.h"

namespace ostrelin {

uint64_t NameIndex::Hash(std::string_view name) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (char c : name) {
    // The folding of AsciiUpper, spelt out here because this loop runs over every name loaded.
    const unsigned char byte = static_cast<unsigned char>(c);
    hash ^= unsigned(byte - 'a') < 26u ? byte - ('a' - 'A') : byte;
    hash *= 1099511628211ull;
  }
  return hash;
}

uint64_t NameIndex::Combine(uint64_t first, uint64_t second) {
  // Order matters: (a, b) and (b, a) are different pairs.
  return (first * 0xBF58476D1CE4E5B9ull) ^ second;
}

void NameIndex::Insert(uint64_t hash, uint32_t id) {
  if ((used_ + 1) * 2 > slots_.size()) Rebuild(slots_.empty() ? 64 : slots_.size() * 2);
  Place(Slot{id, Key(hash)});
  ++used_;
}

void NameIndex::Place(Slot slot) {
  size_t at = slot.key & mask_;
  while (slots_[at].id != kNone) at = (at + 1) & mask_;
  slots_[at] = slot;
}

void NameIndex::Reserve(size_t count) {
  size_t slotCount = slots_.empty() ? 64 : slots_.size();
  while (slotCount < count * 2) slotCount *= 2;
  if (slotCount > slots_.size()) Rebuild(slotCount);
}

void NameIndex::Rebuild(size_t slotCount) {
  // The new table is made before anything changes: when it cannot be allocated, the index stays
  // as it was instead of losing every entry.
  std::vector<Slot> old(slotCount, Slot{});
  old.swap(slots_);
  mask_ = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.id != kNone) Place(slot);
  }
}

void NameIndex::Clear() {
  slots_.clear();
  mask_ = 0;
  used_ = 0;
}

}  // namespace ostrelin
