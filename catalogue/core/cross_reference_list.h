#pragma once
// The cross-reference list "Objekte.LST": for a structure name, the text of related entries that
// the image window's context menu offers ("Herz#Aorta&Lunge"). Loaded once, searched by name.
//
// Lines are judged as read, before any trimming: a line starting with "/" is a comment (a blank
// before the slash makes it an ordinary line); the key is the text before the first "#", the
// related entries everything after it, further "#" included; both are trimmed of blanks and tabs
// and must not be empty. Malformed lines are skipped without a word.
//
// Limits: a line holds at most 4998 bytes; the rest of a longer line is dropped, never read as a
// line of its own (the shared line reader's rule), so an entries text always fits the 4999-byte
// buffer of a lookup. A key longer than 515 bytes cannot name a structure; its line is skipped as
// malformed rather than cut, because a cut key could answer for a different, shorter name.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelin {

class CrossReferenceList {
 public:
  static constexpr size_t kMaxKey = 515;
  static constexpr size_t kEntriesBuffer = 4999;  // what a caller's lookup buffer must hold

  // Appends the pairs of dataPath + "Daten\" + "Objekte.LST" (the settings' Windows-style data
  // path, ending in a backslash). A missing or unreadable file leaves the list as it was.
  void Load(std::string_view dataPath);

  // Appends the pairs of a list given as the file's bytes.
  void AddList(std::string bytes);

  // The related-entries text of the first key equal to `name` with the ASCII letters A to Z folded
  // (umlauts and every other byte must match exactly), or the empty string.
  void Lookup(std::string_view name, std::string& buffer) const;

  size_t Count() const { return keys_.size(); }
  const std::string& KeyAt(size_t i) const { return keys_[i]; }
  const std::string& EntriesAt(size_t i) const { return entries_[i]; }

 private:
  // Parallel arrays in file order; duplicate keys stay, only the first can be found.
  std::vector<std::string> keys_;
  std::vector<std::string> entries_;
};

}  // namespace ostrelin
