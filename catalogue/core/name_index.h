#pragma once
// Finds entries by name the way the atlas compares names (the ASCII letters A to Z folded, every
// other byte exact) without keeping folded copies of the names: an open-addressing table of entry
// numbers keyed by a hash of the folded bytes. The names stay in the caller's entries, and the
// caller says through a predicate whether an entry with a matching hash is really the one sought.
//
// Entry numbers are 32-bit; a list file would need over four billion lines to run out.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ostrelin {

class NameIndex {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  // Hash of `name` with the ASCII letters folded, so names that compare equal hash equal.
  static uint64_t Hash(std::string_view name);
  // Hash of a pair of names, from their two hashes.
  static uint64_t Combine(uint64_t first, uint64_t second);

  // An entry stored under `hash` for which `matches(id)` holds, or kNone. The callers keep one
  // entry per name (they look before they insert), so at most one entry can match.
  template <class Matches>
  uint32_t Find(uint64_t hash, Matches matches) const {
    if (slots_.empty()) return kNone;
    const uint32_t key = Key(hash);
    for (size_t at = key & mask_;; at = (at + 1) & mask_) {
      const Slot& slot = slots_[at];
      if (slot.id == kNone) return kNone;
      if (slot.key == key && matches(slot.id)) return slot.id;
    }
  }

  // Adds `id` under `hash`.
  void Insert(uint64_t hash, uint32_t id);

  // Makes room for `count` entries in all, so that inserting them never rebuilds the table.
  void Reserve(size_t count);

  void Clear();
  size_t Size() const { return used_; }

 private:
  struct Slot {
    uint32_t id = kNone;
    uint32_t key = 0;  // the hash mixed down to 32 bits: picks the first slot, is compared first
  };

  // Fibonacci hashing: the upper half of the product depends on every bit of the hash.
  static uint32_t Key(uint64_t hash) { return uint32_t((hash * 0x9E3779B97F4A7C15ull) >> 32); }
  void Place(Slot slot);
  void Rebuild(size_t slotCount);

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  size_t mask_ = 0;
  size_t used_ = 0;
};

}  // namespace ostrelin
