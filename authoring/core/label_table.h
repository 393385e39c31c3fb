#pragma once
// Label tables: which structure each value of a label image or a label map stands for, in every
// form segmentation programs and authors write them. One reader takes them all: the text is
// decoded (UTF-8 when valid, a byte order mark dropped, else Windows-1252), cut into numbered
// lines, blank lines and comments left out, and each line read by the rules of its form.

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

// A line of a table as the reader hands it on: its number in the file (from 1) and its text,
// decoded to UTF-8 and trimmed of blanks and tabs.
struct TableLine {
  int number = 0;
  std::string text;
};
// The lines of a table that are neither blank nor comments (lines starting with one of
// `commentStarts`).
std::vector<TableLine> TableLines(std::string_view bytes, std::string_view commentStarts = "#/");

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

// The table of a label image, read strictly, as umriss needs it for the outline files: one entry
// a line, the value (1 to 255), blanks or tabs, the structure's name. Names end up in
// Windows-1252, as the outline files hold them. Several values may name the same structure: its
// region is the union of their pixels.
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
