#include "search/core/search_rules.h"

#include <string>

namespace ostrelin {

int FindForText(const SearchNames& names, const SynonymList& synonyms, std::string_view text) {
  const int direct = names.FindPrefix(text);
  if (direct != SearchNames::kNone) return direct;
  std::string replaced;
  for (size_t i = 0; i < synonyms.Count(); ++i) {
    if (ReplaceSynonym(text, synonyms.Synonym(i), synonyms.Replacement(i), replaced) == 0) continue;
    const int found = names.FindPrefix(replaced);
    if (found != SearchNames::kNone) return found;
  }
  return SearchNames::kNone;
}

int MoveSelection(int command, int selected, int count) {
  constexpr int kNone = SearchNames::kNone;
  if (count <= 0) return kNone;
  // No selection counts as the place before the first entry: Down and Page Up then go to the
  // first entry, Page Down to the 20th, Up nowhere.
  if (selected < 0 || selected >= count) selected = -1;
  const int last = count - 1;
  switch (command) {
    case search_cmd::kPrevious: return selected > 0 ? selected - 1 : kNone;
    case search_cmd::kNext: return selected < last ? selected + 1 : kNone;
    case search_cmd::kPageUp: return selected > kPageStep ? selected - kPageStep : 0;
    case search_cmd::kPageDown:
      return selected < count - (kPageStep + 1) ? selected + kPageStep : last;
    case search_cmd::kFirst: return 0;
    case search_cmd::kLast: return last;
    default: return kNone;
  }
}

}  // namespace ostrelin
