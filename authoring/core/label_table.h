#pragma once
// The table of a label image: which structure each label value stands for.
//
// One entry a line: the value (1 to 255), blanks or tabs, the structure's name. Blank lines and
// lines starting with "/" or "#" are comments. The file is UTF-8 when it is valid UTF-8 (a byte
// order mark is skipped), Windows-1252 otherwise; names end up in Windows-1252, as the outline
// files hold them. Several values may name the same structure: its region is the union of their
// pixels.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelin {

struct LabelEntry {
  int value = 0;
  std::string name;  // Windows-1252, trimmed
  int line = 0;      // 1-based line in the table file
  friend bool operator==(const LabelEntry&, const LabelEntry&) = default;
};

// The entries in file order. False with every problem listed in `errors` ("line 3: ..."): a value
// outside 1..255 or given twice, a missing name, a name longer than 258 bytes, with a character
// Windows-1252 lacks, or with "#" (the list files' field separator).
bool ParseLabelTable(std::string_view bytes, std::vector<LabelEntry>& entries,
                     std::vector<std::string>& errors);

}  // namespace ostrelin
