#include "authoring/core/label_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <sstream>

#include "platform/core/cp1252.h"
#include "platform/core/strings.h"
#include "structures/core/outline_file.h"

namespace ostrelin {

namespace {

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

// The form of a table, told by its first line with a value: "" while none has turned up. A
// Slicer CSV header fills `csvColumns` (column name in lower case -> index); false with `error`
// set when it lacks the name column.
bool DetectFormat(std::string_view line, std::string& format,
                  std::map<std::string, size_t>& csvColumns, std::string& error) {
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
  auto quotedAfterNumbers = [&] {
    if (line.find('"') == std::string_view::npos) return false;
    const std::vector<std::string> lead = Tokens(line.substr(0, line.find('"')));
    double d = 0;
    return !lead.empty() &&
           std::all_of(lead.begin(), lead.end(), [&](auto& x) { return ToDouble(x, d); });
  };
  if (LowerAscii(line).starts_with("labelvalue,")) {
    format = "Slicer CSV";
    const std::vector<std::string> header = CsvFields(line);
    for (size_t i = 0; i < header.size(); ++i) csvColumns[LowerAscii(header[i])] = i;
    if (csvColumns.count("name") == 0) {
      error = "the CSV header has no column \"Name\"";
      return false;
    }
  } else if (quotedAfterNumbers()) {
    format = "ITK-SNAP label descriptions";
  } else if (numericTail(4) && ToLong(t[0], dummy)) {
    format = "colour table";
  } else if (line.find('\t') != std::string_view::npos && ToLong(TabFields(line).front(), dummy) &&
             TabFields(line).size() <= 3) {
    format = "value, name and abbreviation (tab-separated)";
  } else if (line.find(',') != std::string_view::npos && ToLong(CsvFields(line).front(), dummy)) {
    format = "value,name (CSV)";
  } else if (t.size() == 3 && ToLong(t[0], dummy) && ToLong(t[2], dummy)) {
    format = "label list";
  } else if (!t.empty() && ToLong(t[0], dummy)) {
    format = "value and name";
  }
  return true;
}

// Value, colour and name of a line of a CSV table or ITK-SNAP's descriptions; false for a line
// without a value.
bool ReadQuotedOrCsvRow(const std::string& format, std::string_view line,
                        std::map<std::string, size_t>& csvColumns, LabelName& n) {
  long r = 0, g = 0, b = 0;
  if (format == "Slicer CSV") {
    const std::vector<std::string> f = CsvFields(line);
    if (f.empty() || !ToLong(f[0], n.value)) return false;
    const size_t nameAt = csvColumns["name"];
    n.name = nameAt < f.size() ? f[nameAt] : "";
    auto column = [&](const char* key, long& v) {
      const auto it = csvColumns.find(key);
      return it != csvColumns.end() && it->second < f.size() && ToLong(f[it->second], v);
    };
    n.hasColour = column("color_r", r) && column("color_g", g) && column("color_b", b);
  } else if (format == "ITK-SNAP label descriptions") {
    const size_t open = line.find('"');
    const size_t close = line.rfind('"');
    const std::vector<std::string> t = Tokens(line.substr(0, open));
    if (t.empty() || !ToLong(t[0], n.value)) return false;
    if (open != std::string_view::npos && close > open) {
      n.name = std::string(line.substr(open + 1, close - open - 1));
    }
    n.hasColour = t.size() >= 4 && ToLong(t[1], r) && ToLong(t[2], g) && ToLong(t[3], b);
  } else {
    const std::vector<std::string> f =
        format.starts_with("value,name") ? CsvFields(line) : TabFields(line);
    if (f.size() < 2 || !ToLong(f[0], n.value)) return false;
    n.name = f[1];
  }
  if (n.hasColour) n.colour = {Channel(r), Channel(g), Channel(b)};
  return true;
}

// Value, colour and name of a line of the forms of blank-separated words; false for a line
// without a value.
bool ReadWordsRow(const std::string& format, std::string_view line, LabelName& n) {
  const std::vector<std::string> t = Tokens(line);
  if (t.empty() || !ToLong(t[0], n.value)) return false;
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
    n.name = std::string(Trimmed(line.substr(line.find(t[0]) + t[0].size())));
  }
  return true;
}

bool IsWordsFormat(const std::string& format) {
  return format == "colour table" || format == "label list" || format == "value and name";
}

std::string LineError(int line, std::string_view what) {
  return "line " + std::to_string(line) + ": " + std::string(what);
}

// The problem with the name of a strict table's entry, or "" when it can be stored.
std::string StrictNameProblem(const std::string& name, int value) {
  if (name.empty()) return "label value " + std::to_string(value) + " has no name";
  if (name.find('\0') != std::string::npos) return "the name has a character Windows-1252 lacks";
  if (name.find('#') != std::string::npos) {
    return "the name holds \"#\", the field separator of the list files";
  }
  if (name.size() > kOutlineNameMax) return "the name is longer than 258 bytes";
  return {};
}

}  // namespace

std::string DecodeText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::vector<TableLine> TableLines(std::string_view bytes, std::string_view commentStarts) {
  std::vector<TableLine> lines;
  std::istringstream in(DecodeText(bytes));
  std::string raw;
  for (int number = 1; std::getline(in, raw); ++number) {
    std::string_view line = raw;
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = Trimmed(line);
    if (line.empty() || commentStarts.find(line.front()) != std::string_view::npos) continue;
    lines.push_back({number, std::string(line)});
  }
  return lines;
}

bool ParseLabelTable(std::string_view bytes, std::vector<LabelName>& names, std::string& format,
                     std::string& error) {
  names.clear();
  format.clear();
  std::map<std::string, size_t> csvColumns;
  for (const TableLine& table : TableLines(bytes)) {
    const std::string_view line = table.text;
    if (format.empty()) {
      if (!DetectFormat(line, format, csvColumns, error)) return false;
      // A header or a line of another kind: the first line with a value decides.
      if (format.empty() || format == "Slicer CSV") continue;
    }
    LabelName n;
    const bool read = IsWordsFormat(format) ? ReadWordsRow(format, line, n)
                                            : ReadQuotedOrCsvRow(format, line, csvColumns, n);
    // The first line of a value counts.
    auto known = [&](const LabelName& k) { return k.value == n.value; };
    if (!read || n.value <= 0 || std::any_of(names.begin(), names.end(), known)) continue;
    names.push_back(std::move(n));
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

bool ParseLabelTable(std::string_view bytes, std::vector<LabelEntry>& entries,
                     std::vector<std::string>& errors) {
  entries.clear();
  errors.clear();
  std::array<int, 256> lineOfValue{};
  for (const TableLine& table : TableLines(bytes)) {
    const std::string_view line = table.text;
    const int number = table.number;
    size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    if (digits == 0 || (digits < line.size() && !IsBlankOrTab(line[digits]))) {
      errors.push_back(LineError(number, "expected a label value, blanks and a name"));
      continue;
    }
    const int value = digits > 3 ? 1000 : std::stoi(std::string(line.substr(0, digits)));
    if (value < 1 || value > 255) {
      errors.push_back(LineError(number, "label value " + std::string(line.substr(0, digits)) +
                                             " outside 1..255 (0 is the background)"));
      continue;
    }
    const std::string name = Utf8ToCp1252(Trimmed(line.substr(digits)), '\0');
    if (std::string problem = StrictNameProblem(name, value); !problem.empty()) {
      errors.push_back(LineError(number, problem));
    } else if (lineOfValue[size_t(value)] != 0) {
      errors.push_back(LineError(number, "label value " + std::to_string(value) +
                                             " already named in line " +
                                             std::to_string(lineOfValue[size_t(value)])));
    } else {
      lineOfValue[size_t(value)] = number;
      entries.push_back({value, name, number});
    }
  }
  return errors.empty();
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
      text = std::string(
          content.substr(9, end == std::string_view::npos ? std::string_view::npos : end - 9));
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

}  // namespace ostrelin
