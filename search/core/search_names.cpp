#include "search/core/search_names.h"

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

// Base letters of the accented capitals of Windows-1252; every other byte stands for itself.
struct OrderTable {
  std::string_view base[256];
  OrderTable() {
    static char self[256];
    for (int c = 0; c < 256; ++c) {
      self[c] = static_cast<char>(c);
      base[c] = std::string_view(&self[c], 1);
    }
    const auto set = [this](int from, int to, std::string_view letters) {
      for (int c = from; c <= to; ++c) base[c] = letters;
    };
    set(0x8A, 0x8A, "S");   // Š
    set(0x8C, 0x8C, "OE");  // Œ
    set(0x8E, 0x8E, "Z");   // Ž
    set(0x9F, 0x9F, "Y");   // Ÿ
    set(0xC0, 0xC5, "A");   // À Á Â Ã Ä Å
    set(0xC6, 0xC6, "AE");  // Æ
    set(0xC7, 0xC7, "C");   // Ç
    set(0xC8, 0xCB, "E");   // È É Ê Ë
    set(0xCC, 0xCF, "I");   // Ì Í Î Ï
    set(0xD0, 0xD0, "D");   // Ð
    set(0xD1, 0xD1, "N");   // Ñ
    set(0xD2, 0xD6, "O");   // Ò Ó Ô Õ Ö
    set(0xD8, 0xD8, "O");   // Ø
    set(0xD9, 0xDC, "U");   // Ù Ú Û Ü
    set(0xDD, 0xDD, "Y");   // Ý
    set(0xDE, 0xDE, "TH");  // Þ
    set(0xDF, 0xDF, "SS");  // ß
  }
};

const OrderTable& Order() {
  static const OrderTable table;
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

std::string OrderKey(std::string_view key) {
  const OrderTable& order = Order();
  std::string primary;
  primary.reserve(key.size());
  for (const char c : key) primary += order.base[static_cast<unsigned char>(c)];
  return primary;
}

void SearchNames::Add(std::string_view name) {
  name = name.substr(0, std::min(name.size(), kMaxEntry));
  std::string key = SearchKey(name);
  std::string order = OrderKey(key);
  if (order == key) order.clear();  // most names: no second copy
  entries_.push_back(Entry{std::move(order), std::move(key), std::string(name)});
}

void SearchNames::SortPending() const {
  if (sorted_ == entries_.size()) return;
  const auto less = [](const Entry& a, const Entry& b) {
    if (const int byOrder = a.Order().compare(b.Order()); byOrder != 0) return byOrder < 0;
    if (const int byKey = a.key.compare(b.key); byKey != 0) return byKey < 0;
    return a.name < b.name;
  };
  // Sorting small handles instead of the entries: the first sixteen order bytes, big-endian,
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
    const std::string& key = entries_[i].Order();
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
  const std::string order = OrderKey(key);
  // Every entry that begins with the prefix has an order key that begins with the prefix's, and
  // those entries stand together from the first order key not below it. Among them, the ones that
  // differ from the prefix in an accent are passed over.
  auto it =
      std::lower_bound(entries_.begin(), entries_.end(), order,
                       [](const Entry& entry, const std::string& o) { return entry.Order() < o; });
  for (; it != entries_.end() && std::string_view(it->Order()).starts_with(order); ++it) {
    if (std::string_view(it->key).starts_with(key)) return static_cast<int>(it - entries_.begin());
  }
  return kNone;
}

}  // namespace ostrelin
