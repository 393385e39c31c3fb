#include "hypertext/core/search_names.h"

#include <algorithm>
#include <cstdint>

#include "platform/core/cp1252.h"

namespace ostrelin {
namespace {

struct FoldTable {
  unsigned char upper[256];
  FoldTable() {
    for (int c = 0; c < 256; ++c) upper[c] = FoldCp1252(static_cast<unsigned char>(c));
  }
};

const FoldTable& Fold() {
  static const FoldTable table;
  return table;
}

}  // namespace

std::string SearchKey(std::string_view text) {
  const FoldTable& fold = Fold();
  std::string key(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    key[i] = static_cast<char>(fold.upper[static_cast<unsigned char>(text[i])]);
  }
  return key;
}

void SearchNames::Add(std::string_view name) {
  name = name.substr(0, std::min(name.size(), kMaxEntry));
  entries_.push_back(Entry{SearchKey(name), std::string(name)});
}

void SearchNames::SortPending() const {
  if (sorted_ == entries_.size()) return;
  const auto less = [](const Entry& a, const Entry& b) {
    const int byKey = a.key.compare(b.key);
    return byKey != 0 ? byKey < 0 : a.name < b.name;
  };
  // Sorting small handles instead of the entries: the first sixteen key bytes, big-endian,
  // decide most comparisons without touching the strings, and each entry is moved once at the end.
  struct Handle {
    uint64_t head;
    uint64_t next;
    uint32_t index;
  };
  const auto word = [](const std::string& key, size_t from) {
    uint64_t w = 0;
    for (size_t b = from; b < from + 8; ++b) {
      w = (w << 8) | (b < key.size() ? static_cast<unsigned char>(key[b]) : 0u);
    }
    return w;
  };
  std::vector<Handle> handles;
  handles.reserve(entries_.size() - sorted_);
  for (size_t i = sorted_; i < entries_.size(); ++i) {
    const std::string& key = entries_[i].key;
    handles.push_back(Handle{word(key, 0), word(key, 8), static_cast<uint32_t>(i)});
  }
  std::sort(handles.begin(), handles.end(), [this, &less](const Handle& a, const Handle& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    return less(entries_[a.index], entries_[b.index]);
  });
  std::vector<Entry> ordered;
  ordered.reserve(entries_.size());
  for (size_t i = 0; i < sorted_; ++i) ordered.push_back(std::move(entries_[i]));
  for (const Handle& h : handles) ordered.push_back(std::move(entries_[h.index]));
  entries_ = std::move(ordered);
  // Names added after a sort (rare) are merged in; the usual case is one sort after the fill.
  const auto middle = entries_.begin() + static_cast<std::ptrdiff_t>(sorted_);
  if (sorted_ > 0) std::inplace_merge(entries_.begin(), middle, entries_.end(), less);
  sorted_ = entries_.size();
}

void SearchNames::RemoveDuplicates() {
  SortPending();
  const auto end = std::unique(entries_.begin(), entries_.end(),
                               [](const Entry& a, const Entry& b) { return a.name == b.name; });
  entries_.erase(end, entries_.end());
  sorted_ = entries_.size();
}

size_t SearchNames::Count() const { return entries_.size(); }

const std::string& SearchNames::At(size_t index) const {
  SortPending();
  return entries_[index].name;
}

int SearchNames::FindPrefix(std::string_view prefix) const {
  if (prefix.empty()) return kNone;
  SortPending();
  const std::string key = SearchKey(prefix);
  // The first entry not below the prefix: every entry that begins with it follows directly.
  const auto it = std::lower_bound(
      entries_.begin(), entries_.end(), key,
      [](const Entry& entry, const std::string& k) { return entry.key < k; });
  if (it == entries_.end() || !std::string_view(it->key).starts_with(key)) return kNone;
  return static_cast<int>(it - entries_.begin());
}

}  // namespace ostrelin
