#pragma once
// The names of a label map's values made into atlas names: a renaming table ("source;atlas name")
// that turns the programs' English names into the atlas's German and Latin ones, and the
// Windows-1252 form of a name. The tables of names themselves are read in label_table.h.

#include <string>
#include <string_view>
#include <vector>

#include "authoring/core/label_table.h"

namespace ostrelin {

// A renaming table: one "source;atlas name" a line, UTF-8, "#" starts a comment line. Lines
// without ";" or with an empty side are reported in `errors` ("line 3: ...").
struct NameMapEntry {
  std::string source, target;  // UTF-8, trimmed
};
std::vector<NameMapEntry> ParseNameMap(std::string_view bytes, std::vector<std::string>& errors);

// The atlas name of a label: renamed by `map` (the source name matched exactly, then ignoring the
// case of ASCII letters, or by its value written as a number); unrenamed names get blanks for
// underscores, but "/" between two digits ("Vermis_1_2" is "Vermis 1/2"); no name at all gives
// "Struktur <value>".
std::string RenameLabel(const LabelName& label, const std::vector<NameMapEntry>& map);

// The structure name of a label as the atlas stores it (Windows-1252): AtlasName of RenameLabel,
// or "Struktur <value>" when that name holds characters Windows-1252 cannot hold.
std::string StructureName(const LabelName& label, const std::vector<NameMapEntry>& map);

// How many of `names` a renaming table knows by their source name (ASCII case ignored).
size_t MatchedNames(const std::vector<LabelName>& names, const std::vector<NameMapEntry>& map);

// The characters of a UTF-8 text that Windows-1252 cannot hold and that have no transliteration
// (AtlasName would write "?" for them), each once, in UTF-8; empty when the text can be stored.
std::string UnholdableCharacters(std::string_view utf8);

// A UTF-8 name as the atlas stores it: Windows-1252, letters Windows-1252 lacks transliterated
// ("ł" -> "l", accents dropped, anything else "?"), "#" (the lists' separator) turned into "-",
// at most 258 bytes. `changed` tells whether anything had to be altered.
std::string AtlasName(std::string_view utf8, bool& changed);

}  // namespace ostrelin
