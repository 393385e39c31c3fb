#include "platform/core/strings.h"

#include <algorithm>

namespace ostrelin {

std::string_view Trimmed(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlankOrTab(text[begin])) ++begin;
  while (end > begin && IsBlankOrTab(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void Trim(std::string& text) {
  const std::string_view kept = Trimmed(text);
  const size_t offset = kept.data() - text.data();
  const size_t length = kept.size();
  text.erase(offset + length);
  text.erase(0, offset);
}

bool EndsWith(std::string_view text, std::string_view suffix) { return text.ends_with(suffix); }

size_t FindText(std::string_view text, std::string_view part) {
  const size_t at = text.find(part);
  return at == std::string_view::npos ? 0 : at + 1;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c; }

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiUpper(x) == AsciiUpper(y);
         });
}

std::string_view CutToBuffer(std::string_view text, size_t capacity) {
  if (capacity == 0) return {};
  return text.substr(0, std::min(text.size(), capacity - 1));
}

}  // namespace ostrelin
