#include "authoring/core/label_names.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <map>
#include <sstream>

#include "platform/core/cp1252.h"
#include "platform/core/strings.h"

namespace ostrelin {

namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(at, end - at));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    at = end + 1;
  }
  return lines;
}

std::vector<std::string> Tokens(std::string_view line) {
  std::vector<std::string> tokens;
  std::istringstream in{std::string(line)};
  std::string t;
  while (in >> t) tokens.push_back(t);
  return tokens;
}

bool ToLong(std::string_view s, long& value) {
  s = Trimmed(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

bool ToDouble(std::string_view s, double& value) {
  s = Trimmed(s);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

std::uint8_t Channel(long v) { return std::uint8_t(std::clamp(v, 0L, 255L)); }

// Fields of a CSV line; double quotes enclose a field, "" inside stands for one quote.
std::vector<std::string> CsvFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  for (std::string& f : fields) f = std::string(Trimmed(f));
  return fields;
}

// Fields of a line split at tabs, each trimmed.
std::vector<std::string> TabFields(std::string_view line) {
  std::vector<std::string> fields;
  size_t at = 0;
  while (true) {
    const size_t tab = line.find('\t', at);
    fields.emplace_back(Trimmed(line.substr(at, tab == std::string_view::npos ? tab : tab - at)));
    if (tab == std::string_view::npos) break;
    at = tab + 1;
  }
  return fields;
}

bool IsComment(std::string_view trimmed) {
  return trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '/';
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return out;
}

std::string XmlUnescape(std::string_view s) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < s.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (s.substr(i).starts_with(entity)) {
        out += c;
        i += std::char_traits<char>::length(entity);
        replaced = true;
        break;
      }
    }
    if (!replaced) out += s[i++];
  }
  return out;
}

// The value of attribute `name` in the text of a start tag, or nothing.
std::optional<std::string> Attribute(std::string_view tag, std::string_view name) {
  size_t at = 0;
  while ((at = tag.find(name, at)) != std::string_view::npos) {
    const bool boundary = at == 0 || tag[at - 1] == ' ' || tag[at - 1] == '\t' ||
                          tag[at - 1] == '\n' || tag[at - 1] == '\r';
    size_t p = at + name.size();
    while (p < tag.size() && (tag[p] == ' ' || tag[p] == '\t')) ++p;
    if (boundary && p < tag.size() && tag[p] == '=') {
      ++p;
      while (p < tag.size() && (tag[p] == ' ' || tag[p] == '\t')) ++p;
      if (p < tag.size() && (tag[p] == '"' || tag[p] == '\'')) {
        const size_t close = tag.find(tag[p], p + 1);
        if (close == std::string_view::npos) return std::nullopt;
        return XmlUnescape(tag.substr(p + 1, close - p - 1));
      }
      return std::nullopt;
    }
    at += name.size();
  }
  return std::nullopt;
}

constexpr const char* kLabelTableFormats =
    "FreeSurfer and 3D Slicer colour tables (\"17 Left-Hippocampus 220 216 20 0\"), ITK-SNAP "
    "label descriptions, Slicer's CSV (header \"LabelValue,Name,...\"), value,name CSV lines "
    "(\"1,spleen\"), tab-separated value, name and abbreviation, the mricron templates' label "
    "lists (\"1 Precentral_L 2001\") and plain \"value name\" lines";

// Latin Extended-A (U+0100 to U+017F) without its marks.
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRr"
    "SsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(kLatinExtendedA.size() == 128);

}  // namespace

std::string DecodeText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

bool ParseLabelTable(std::string_view bytes, std::vector<LabelName>& names, std::string& format,
                     std::string& error) {
  names.clear();
  format.clear();
  const std::vector<std::string> lines = Lines(DecodeText(bytes));
  std::map<std::string, size_t> csvColumns;  // Slicer CSV: column name (lower case) -> index
  auto add = [&](LabelName n) {
    if (n.value <= 0) return;
    for (const LabelName& known : names) {
      if (known.value == n.value) return;  // the first line of a value counts
    }
    names.push_back(std::move(n));
  };
  for (const std::string& raw : lines) {
    const std::string_view line = Trimmed(raw);
    if (IsComment(line)) continue;
    if (format.empty()) {
      const std::vector<std::string> t = Tokens(line);
      long dummy = 0;
      auto numericTail = [&](size_t n) {
        if (t.size() < n + 2) return false;
        for (size_t i = t.size() - n; i < t.size(); ++i) {
          double d = 0;
          if (!ToDouble(t[i], d)) return false;
        }
        return true;
      };
      if (LowerAscii(line).starts_with("labelvalue,")) {
        format = "Slicer CSV";
        const std::vector<std::string> header = CsvFields(line);
        for (size_t i = 0; i < header.size(); ++i) csvColumns[LowerAscii(header[i])] = i;
        if (csvColumns.count("name") == 0) {
          error = "the CSV header has no column \"Name\"";
          return false;
        }
        continue;
      } else if (line.find('"') != std::string_view::npos &&
                 [&] {
                   const std::vector<std::string> lead = Tokens(line.substr(0, line.find('"')));
                   double d = 0;
                   return !lead.empty() && std::all_of(lead.begin(), lead.end(), [&](auto& x) {
                     return ToDouble(x, d);
                   });
                 }()) {
        format = "ITK-SNAP label descriptions";
      } else if (numericTail(4) && ToLong(t[0], dummy)) {
        format = "colour table";
      } else if (line.find('\t') != std::string_view::npos &&
                 ToLong(TabFields(line).front(), dummy) && TabFields(line).size() <= 3) {
        format = "value, name and abbreviation (tab-separated)";
      } else if (line.find(',') != std::string_view::npos && ToLong(CsvFields(line).front(), dummy)) {
        format = "value,name (CSV)";
      } else if (t.size() == 3 && ToLong(t[0], dummy) && ToLong(t[2], dummy)) {
        format = "label list";
      } else if (!t.empty() && ToLong(t[0], dummy)) {
        format = "value and name";
      } else {
        continue;  // a header or a line of another kind: the first line with a value decides
      }
    }
    LabelName n;
    if (format == "Slicer CSV") {
      const std::vector<std::string> f = CsvFields(line);
      if (f.empty() || !ToLong(f[0], n.value)) continue;
      const size_t nameAt = csvColumns["name"];
      n.name = nameAt < f.size() ? f[nameAt] : "";
      long r = 0, g = 0, b = 0;
      auto column = [&](const char* key, long& v) {
        const auto it = csvColumns.find(key);
        return it != csvColumns.end() && it->second < f.size() && ToLong(f[it->second], v);
      };
      if (column("color_r", r) && column("color_g", g) && column("color_b", b)) {
        n.colour = {Channel(r), Channel(g), Channel(b)};
        n.hasColour = true;
      }
    } else if (format == "ITK-SNAP label descriptions") {
      const size_t open = line.find('"');
      const size_t close = line.rfind('"');
      const std::vector<std::string> t = Tokens(line.substr(0, open));
      if (t.empty() || !ToLong(t[0], n.value)) continue;
      if (open != std::string_view::npos && close > open) {
        n.name = std::string(line.substr(open + 1, close - open - 1));
      }
      long r = 0, g = 0, b = 0;
      if (t.size() >= 4 && ToLong(t[1], r) && ToLong(t[2], g) && ToLong(t[3], b)) {
        n.colour = {Channel(r), Channel(g), Channel(b)};
        n.hasColour = true;
      }
    } else if (format.starts_with("value,name")) {
      const std::vector<std::string> f = CsvFields(line);
      if (f.size() < 2 || !ToLong(f[0], n.value)) continue;
      n.name = f[1];
    } else if (format.starts_with("value, name and")) {
      const std::vector<std::string> f = TabFields(line);
      if (f.size() < 2 || !ToLong(f[0], n.value)) continue;
      n.name = f[1];
    } else {
      const std::vector<std::string> t = Tokens(line);
      if (t.empty() || !ToLong(t[0], n.value)) continue;
      if (format == "colour table" && t.size() >= 6) {
        long r = 0, g = 0, b = 0;
        const size_t c = t.size() - 4;
        if (ToLong(t[c], r) && ToLong(t[c + 1], g) && ToLong(t[c + 2], b)) {
          n.colour = {Channel(r), Channel(g), Channel(b)};
          n.hasColour = true;
        }
        for (size_t i = 1; i < c; ++i) n.name += (i > 1 ? " " : "") + t[i];
      } else if (format == "label list" && t.size() == 3) {
        n.name = t[1];
      } else {
        // The name is the rest of the line after the value.
        const std::string_view rest = Trimmed(line.substr(line.find(t[0]) + t[0].size()));
        n.name = std::string(rest);
      }
    }
    add(std::move(n));
  }
  if (format.empty()) {
    error = "format not recognised; label tables are " + std::string(kLabelTableFormats);
    return false;
  }
  if (names.empty()) {
    error = "the table names no label (values 1 and up with a name)";
    return false;
  }
  return true;
}

std::vector<LabelName> ParseCaretLabels(std::string_view xml) {
  std::vector<LabelName> names;
  size_t at = 0;
  while ((at = xml.find("<Label", at)) != std::string_view::npos) {
    const size_t tagEnd = xml.find('>', at);
    if (tagEnd == std::string_view::npos) break;
    const std::string_view tag = xml.substr(at + 6, tagEnd - at - 6);
    at = tagEnd + 1;
    if (!tag.empty() && tag.front() != ' ' && tag.front() != '\t' && tag.front() != '\n') {
      continue;  // <LabelTable> and the like
    }
    const size_t close = xml.find("</Label>", at);
    if (close == std::string_view::npos) break;
    std::string_view content = Trimmed(xml.substr(at, close - at));
    at = close + 8;
    LabelName n;
    const std::optional<std::string> key = Attribute(tag, "Key");
    if (!key || !ToLong(*key, n.value) || n.value <= 0) continue;
    std::string text;
    if (content.starts_with("<![CDATA[")) {
      const size_t end = content.find("]]>");
      text = std::string(content.substr(9, end == std::string_view::npos ? std::string_view::npos
                                                                           : end - 9));
    } else {
      text = XmlUnescape(content);
    }
    n.name = std::string(Trimmed(text));
    double rgb[3];
    bool colour = true;
    const char* channels[] = {"Red", "Green", "Blue"};
    for (int c = 0; c < 3; ++c) {
      const std::optional<std::string> v = Attribute(tag, channels[c]);
      colour = colour && v && ToDouble(*v, rgb[c]);
    }
    if (colour) {
      n.colour = {Channel(std::lround(rgb[0] * 255)), Channel(std::lround(rgb[1] * 255)),
                  Channel(std::lround(rgb[2] * 255))};
      n.hasColour = true;
    }
    if (std::none_of(names.begin(), names.end(),
                     [&](const LabelName& k) { return k.value == n.value; })) {
      names.push_back(std::move(n));
    }
  }
  return names;
}

std::vector<NameMapEntry> ParseNameMap(std::string_view bytes, std::vector<std::string>& errors) {
  std::vector<NameMapEntry> map;
  const std::vector<std::string> lines = Lines(DecodeText(bytes));
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = Trimmed(lines[i]);
    if (line.empty() || line.front() == '#') continue;
    const size_t semicolon = line.find(';');
    const std::string where = "line " + std::to_string(i + 1) + ": ";
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
