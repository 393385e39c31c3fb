#pragma once
// Names of the values of a label map, as segmentation programs ship them: colour tables and label
// lists in their several forms, the label table TotalSegmentator keeps in the NIfTI header
// extension, and a renaming table ("source;atlas name") that turns the programs' English names
// into the atlas's German and Latin ones.

#include <string>
#include <string_view>
#include <vector>

#include "authoring/core/rgb.h"

namespace ostrelin {

struct LabelName {
  long value = 0;
  std::string name;  // UTF-8, as the source gives it
  Rgb colour;
  bool hasColour = false;
  friend bool operator==(const LabelName&, const LabelName&) = default;
};

// Text of a file in UTF-8 (a byte order mark dropped) or Windows-1252, as UTF-8.
std::string DecodeText(std::string_view bytes);

// A label table, its form recognised by its content: FreeSurfer colour tables
// ("17 Left-Hippocampus 220 216 20 0") and 3D Slicer's ("1 artery 216 101 79 255"), ITK-SNAP label
// descriptions ('1 255 0 0 1 1 1 "Label 1"'), Slicer's CSV ("LabelValue,Name,Color_R,..."), the
// label lists of the mricron templates ("1 Precentral_L 2001", "0<TAB>Unclassified") and plain
// "value name" lines, header-less "value,name" CSV lines and tab-separated "value, name,
// abbreviation" lines. Comment lines start with "#" or "/"; lines before the first that starts
// with a value (headers) are passed over, as are value 0 (the background) and negative values.
// `format` names the form found. False with `error` set when no line has a form of these
// ("format not recognised" and the forms that are) or the table names no label.
bool ParseLabelTable(std::string_view bytes, std::vector<LabelName>& names, std::string& format,
                     std::string& error);

// The labels of a CaretExtension XML text (<Label Key="1" Red="1" ...><![CDATA[spleen]]></Label>).
std::vector<LabelName> ParseCaretLabels(std::string_view xml);

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
