#pragma once
// The names of the index: every page and structure name of the atlas, sorted as a list box sorts
// (case ignored), searched by prefix.
//
// The order compares the names with their letters folded to capitals (the Windows-1252 letters,
// umlauts included, so "Ösophagus" sorts and is found like "ÖSOPHAGUS"); names equal but for case
// are ordered by their bytes, which keeps exact duplicates next to each other for
// RemoveDuplicates. Every name carries its folded key, so sorting and the prefix search compare
// plain bytes: a prefix search is one binary search, however large the atlas.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelin {

class SearchNames {
 public:
  // A list entry holds at most 515 bytes; longer names are cut.
  static constexpr size_t kMaxEntry = 515;
  static constexpr int kNone = -1;

  void Reserve(size_t count) { entries_.reserve(count); }

  // Appends `name`; it is sorted in before the next look at the list.
  void Add(std::string_view name);

  // Removes exact (byte for byte) duplicates; names that differ only in case all stay.
  void RemoveDuplicates();

  size_t Count() const;
  // The entry at `index` of the sorted list.
  const std::string& At(size_t index) const;

  // Index of the first entry that begins with `prefix`, case ignored; kNone when there is none or
  // the prefix is empty.
  int FindPrefix(std::string_view prefix) const;

 private:
  struct Entry {
    std::string key;   // the name with its letters folded to capitals
    std::string name;
  };

  void SortPending() const;

  mutable std::vector<Entry> entries_;
  mutable size_t sorted_ = 0;  // entries_[0, sorted_) are in order; the rest were added since
};

// The folded form of a text that the list's order and prefix search use.
std::string SearchKey(std::string_view text);

}  // namespace ostrelin
