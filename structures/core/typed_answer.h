#pragma once
// Judging a name typed in the quiz's direction structure to name. The typed name is right when it
// equals the structure's name once both are brought into one spelling: letter case, blanks, the
// umlauts and the sharp s written out (ä/ae, ö/oe, ü/ue, ß/ss) and a trailing "li." / "re." for
// "links" / "rechts" make no difference. A synonym (from the synonym list) whose atlas name is the
// structure's name is right too.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ostrelin {

// Synonym and the atlas name it stands for, as the synonym list holds them (Windows-1252).
using SynonymPairs = std::vector<std::pair<std::string, std::string>>;

// The one spelling both sides are compared in: lower case, no blanks, umlauts and ß written out,
// a trailing "li."/"re." as "links"/"rechts".
std::string AnswerSpelling(std::string_view name);

bool TypedAnswerMatches(std::string_view typed, std::string_view name,
                        const SynonymPairs& synonyms = {});

}  // namespace ostrelin
