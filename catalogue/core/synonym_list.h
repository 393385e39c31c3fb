#pragma once
// The synonym list "SYNONYMS.LST": alternative names and the atlas names that replace them when
// the index has nothing beginning with the typed text.
//
// Each line holds two fields separated by "#" (runs of "#" are one separator, a leading "#" is
// skipped): the synonym, then the atlas name. Both are trimmed of blanks and tabs and turned into
// capitals by the ASCII rule (only a-z change; umlauts and the sharp s stay as written). A line
// with fewer than two fields, or with an empty first or second field, is skipped; a third field is
// ignored. There is no comment syntax: every line counts. The pairs keep their file order.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelin {

class SynonymList {
 public:
  // Reads the file at `path` (already resolved). A file that cannot be opened leaves the list
  // empty, which switches synonym translation off; returns whether it was read.
  bool Load(const std::filesystem::path& path);
  // Reads "SYNONYMS.LST" from `dataPath` + "Daten\", as Load does.
  bool LoadFromAtlas(std::string_view dataPath);

  // Appends the pairs of the text `bytes` (the file's contents), in order.
  void AddText(std::string_view bytes);

  size_t Count() const { return synonyms_.size(); }
  const std::string& Synonym(size_t i) const { return synonyms_[i]; }
  const std::string& Replacement(size_t i) const { return replacements_[i]; }

 private:
  std::vector<std::string> synonyms_;
  std::vector<std::string> replacements_;
};

// Replaces every occurrence of `synonym` in `text` by `replacement`, scanning left to right and
// matching bytes exactly; the text between occurrences stays whole and an inserted replacement is
// never searched again. Returns the number of occurrences replaced (`out` is `text` when 0). An
// empty synonym occurs nowhere.
size_t ReplaceSynonym(std::string_view text, std::string_view synonym, std::string_view replacement,
                      std::string& out);

}  // namespace ostrelin
