#pragma once
// The list files of the data tree (page list, structure list, plane lists, cross-references,
// synonyms) share one line format: every line is trimmed of blanks and tabs; an empty line or one
// starting with "/" is a comment; the rest is split into fields at "#", where a run of "#" counts
// as one separator and "#" at either end makes no field; every field is trimmed again. An empty
// field is therefore written as a blank between two separators ("# #").

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/text_file.h"

namespace ostrelin {

// Splits a line into its trimmed fields. The line may be untrimmed.
std::vector<std::string> SplitListFields(std::string_view line);

// Reads the next line that is not a comment and returns its fields; false at the end of the file.
bool ReadListLine(TextReader& reader, std::vector<std::string>& fields);

}  // namespace ostrelin
