#pragma once
// Small text helpers shared by every subsystem. Texts are Windows-1252 byte strings.

#include <string>
#include <string_view>

namespace ostrelin {

// Blanks and tabs, the only white space the data files and the atlas ever trim.
inline bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// Removes blanks and tabs at both ends, in place; inner blanks stay.
void Trim(std::string& text);
std::string_view Trimmed(std::string_view text);

// Exact, case-sensitive suffix test.
bool EndsWith(std::string_view text, std::string_view suffix);

// 1-based position of the first occurrence of `part` in `text`, or 0. An empty part is found at 1.
size_t FindText(std::string_view text, std::string_view part);

inline bool InRange(long value, long low, long high) { return low <= value && value <= high; }

// Name comparison of the atlas: the ASCII letters A to Z are folded, every other byte (umlauts
// included) must match exactly.
char AsciiUpper(char c);
bool EqualsAsciiNoCase(std::string_view a, std::string_view b);

// Limits a fixed-size text field: at most `capacity - 1` bytes survive, as in a C buffer of that
// size that always keeps its terminator.
std::string_view CutToBuffer(std::string_view text, size_t capacity);

}  // namespace ostrelin
