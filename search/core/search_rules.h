#pragma once
// What the search window does with typed text and with its movement keys, apart from any widget.

#include <string_view>

#include "search/core/search_names.h"
#include "catalogue/core/synonym_list.h"

namespace ostrelin {

// Commands the search field and the list send their window. They stay inside the window; the
// main window never sees them.
namespace search_cmd {
inline constexpr int kOpen = 9129;      // Enter in the field or in the list
inline constexpr int kPrevious = 9130;  // Up
inline constexpr int kNext = 9131;      // Down
inline constexpr int kFirst = 9132;     // Home
inline constexpr int kLast = 9133;      // End
inline constexpr int kPageUp = 9134;    // Page Up
inline constexpr int kPageDown = 9135;  // Page Down
}  // namespace search_cmd

// Identifiers of the window's controls.
inline constexpr int kSearchFieldId = 9055;
inline constexpr int kNameListId = 9054;

// The entry that the text of the search field selects: the first one that begins with the text,
// case ignored; else, for each synonym in file order that occurs in the text, the first entry
// that begins with the text after replacing it; else SearchNames::kNone.
int FindForText(const SearchNames& names, const SynonymList& synonyms, std::string_view text);

// How many entries Page Up and Page Down move.
inline constexpr int kPageStep = 20;

// The entry that movement command `command` (search_cmd::kPrevious ... kPageDown) selects in a
// list of `count` entries whose selection is `selected` (SearchNames::kNone for none), or kNone
// when the command does nothing (Up at the top, Down at the end, any move in an empty list).
int MoveSelection(int command, int selected, int count);

}  // namespace ostrelin
