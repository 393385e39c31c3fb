#pragma once
// The names of the index: every page and structure name of the atlas, sorted as a list box sorts
// (case ignored), searched by prefix.
//
// Case is ignored for every Windows-1252 letter, umlauts included, so "ösophagus" is found by
// "ÖSOPHAGUS". The order is the alphabetical one of the German index: an accented letter sorts
// with its base letter ("Ösophagus" among the O, "Ä" after "A" only where the rest is equal) and
// "ß" as "SS". Names equal but for case are ordered by their bytes, which keeps exact duplicates
// next to each other for RemoveDuplicates. Every name carries its keys, so sorting and the prefix
// search compare plain bytes: a prefix search is one binary search plus a short walk over the
// names that differ from the prefix only in accents.

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
    std::string order;  // the key with accents dropped, what sorts first; empty when it is the key
    std::string key;    // the name with its letters folded to capitals
    std::string name;
    const std::string& Order() const { return order.empty() ? key : order; }
  };

  void SortPending() const;

  mutable std::vector<Entry> entries_;
  mutable size_t sorted_ = 0;  // entries_[0, sorted_) are in order; the rest were added since
};

// The folded form of a text that the prefix search compares.
std::string SearchKey(std::string_view text);

// The primary sort key of a folded text: accented capitals become their base letters, "ß" "SS",
// "Æ" "AE", "Œ" "OE", "Þ" "TH".
std::string OrderKey(std::string_view key);

}  // namespace ostrelin
