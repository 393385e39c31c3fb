#pragma once
// The link-list builder: one line of the structure list per named structure of an outline file,
// appended to a target list file.
//
//   linklist Zieldatei Quelldatei Link-Verweis Bildtyp(en)
//
// Each line is the structure's name padded to 40 characters, " # ", the link target padded to 25,
// " # ", the image types, CR LF. Reading stops at the first structure without outline: in the
// files the atlas is built from, those come last and have no place in the list.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace ostrelin {

// The lines for the structures of `outlineBytes` (Windows-1252, CR LF).
std::string LinklistLines(std::string_view outlineBytes, std::string_view link,
                          std::string_view imageTypes);

// `text` padded with blanks to `width`; longer text stays whole.
std::string PadRight(std::string_view text, size_t width);

// The program: `args` is the whole command line, the invocation name first. Wrong argument count:
// the usage text on `out`, status 0. Otherwise the lines are appended to the target and the status
// is 1, whether or not anything was written (a target or source that cannot be opened writes
// nothing). Link target and image types typed in a UTF-8 terminal are written in Windows-1252,
// as the list files are; bytes that are not UTF-8 are taken as Windows-1252 already.
int RunLinklist(std::span<const std::string> args, std::ostream& out);

}  // namespace ostrelin
