#include "authoring/core/label_names.h"

#include <algorithm>

#include "platform/core/cp1252.h"
#include "platform/core/strings.h"

namespace ostrelin {

namespace {

// Latin Extended-A (U+0100 to U+017F) without its marks.
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRr"
    "SsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(kLatinExtendedA.size() == 128);

}  // namespace

std::vector<NameMapEntry> ParseNameMap(std::string_view bytes, std::vector<std::string>& errors) {
  std::vector<NameMapEntry> map;
  for (const TableLine& table : TableLines(bytes, "#")) {
    const std::string_view line = table.text;
    const size_t semicolon = line.find(';');
    const std::string where = "line " + std::to_string(table.number) + ": ";
    if (semicolon == std::string_view::npos) {
      errors.push_back(where + "no \";\" between source and atlas name");
      continue;
    }
    NameMapEntry e{std::string(Trimmed(line.substr(0, semicolon))),
                   std::string(Trimmed(line.substr(semicolon + 1)))};
    if (e.source.empty() || e.target.empty()) {
      errors.push_back(where + "source or atlas name is empty");
      continue;
    }
    map.push_back(std::move(e));
  }
  return map;
}

std::string RenameLabel(const LabelName& label, const std::vector<NameMapEntry>& map) {
  for (const NameMapEntry& e : map) {
    if (!label.name.empty() && e.source == label.name) return e.target;
  }
  for (const NameMapEntry& e : map) {
    if (!label.name.empty() && EqualsAsciiNoCase(e.source, label.name)) return e.target;
  }
  for (const NameMapEntry& e : map) {
    if (e.source == std::to_string(label.value)) return e.target;
  }
  const std::string name(Trimmed(label.name));
  if (name.empty()) return "Struktur " + std::to_string(label.value);
  // Underscores stand for blanks, except between two digits: "Vermis_1_2" is "Vermis 1/2".
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::string out = name;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] != '_') continue;
    out[i] = i > 0 && i + 1 < out.size() && digit(name[i - 1]) && digit(name[i + 1]) ? '/' : ' ';
  }
  return out;
}

std::string StructureName(const LabelName& label, const std::vector<NameMapEntry>& map) {
  const std::string renamed = RenameLabel(label, map);
  bool changed = false;
  if (!UnholdableCharacters(renamed).empty()) {
    return "Struktur " + std::to_string(label.value);
  }
  return AtlasName(renamed, changed);
}

size_t MatchedNames(const std::vector<LabelName>& names, const std::vector<NameMapEntry>& map) {
  size_t matched = 0;
  for (const LabelName& n : names) {
    if (std::any_of(map.begin(), map.end(), [&](const NameMapEntry& e) {
          return !n.name.empty() && EqualsAsciiNoCase(e.source, n.name);
        })) {
      ++matched;
    }
  }
  return matched;
}

namespace {

// The bytes of the UTF-8 code point at `at` (its lead byte's length, cut at the end), moving `at`
// past them.
std::string_view NextCodePoint(std::string_view utf8, size_t& at) {
  const unsigned char c = static_cast<unsigned char>(utf8[at]);
  const size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  const std::string_view one = utf8.substr(at, length);
  at += length;
  return one;
}

}  // namespace

std::string UnholdableCharacters(std::string_view utf8) {
  std::string lost;
  for (size_t i = 0; i < utf8.size();) {
    const std::string_view one = NextCodePoint(utf8, i);
    bool changed = false;
    if (AtlasName(one, changed) == "?" && one != "?" && lost.find(one) == std::string::npos) {
      lost += one;
    }
  }
  return lost;
}

std::string AtlasName(std::string_view utf8, bool& changed) {
  changed = false;
  std::string out;
  // Code point by code point, so that each one can be transliterated on its own.
  for (size_t i = 0; i < utf8.size();) {
    const std::string_view one = NextCodePoint(utf8, i);
    const size_t length = one.size();
    const unsigned char c = static_cast<unsigned char>(one[0]);
    char32_t cp = c;
    if (length > 1) {
      cp = c & (0x3F >> (length - 1));
      for (size_t k = 1; k < one.size(); ++k) cp = (cp << 6) | (char32_t(one[k]) & 0x3F);
    }
    const std::string mapped = Utf8ToCp1252(one, '\0');
    if (cp == '#') {
      out += '-';
      changed = true;
    } else if (cp < 0x20 || cp == 0x7F) {
      out += ' ';
      changed = true;
    } else if (!mapped.empty() && mapped[0] != '\0') {
      out += mapped;
    } else if (cp >= 0x100 && cp < 0x180) {
      out += kLatinExtendedA[cp - 0x100];
      changed = true;
    } else if (cp >= 0x300 && cp < 0x370) {
      changed = true;  // a combining mark: the letter before it stays
    } else {
      out += '?';
      changed = true;
    }
  }
  if (out.size() > 258) {
    out.resize(258);
    changed = true;
  }
  const std::string trimmed(Trimmed(out));
  if (trimmed != out) changed = true;
  return trimmed;
}

}  // namespace ostrelin
