#pragma once
// Judging a name typed in the quiz's direction structure to name, as students write names:
//   - letter case, blanks, commas, hyphens, points and parentheses make no difference, and the
//     umlauts and the sharp s may be written out (ä/ae, ö/oe, ü/ue, ß/ss);
//   - a side may stand anywhere and be written "re", "re.", "rechts", "dext." (or "li", "li.",
//     "links", "sin."); the sides of both names must be the same;
//   - the short forms A./Aa., V./Vv., M./Mm., N./Nn., Lig., Proc., Nucl. stand for
//   Arteria/Arteriae,
//     Vena/Venae, Musculus/Musculi, Nervus/Nervi, Ligamentum, Processus, Nucleus, point or not;
//   - of a name with a part in parentheses ("Leber (Hepar)") either part alone is enough;
//   - a synonym (from the synonym list) of the name is right, with or without a side;
//   - one typing error (one letter added, missing or replaced) in a word of six letters or more
//     is right, and the right spelling is to be shown;
//   - but a name that is another structure of the atlas is wrong, however close it comes.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ostrelin {

// Synonym and the atlas name it stands for, as the synonym list holds them (Windows-1252).
using SynonymPairs = std::vector<std::pair<std::string, std::string>>;

enum class TypedVerdict {
  Wrong,
  Right,
  Misspelt,  // right with one typing error: the right spelling is shown
};

struct TypedJudgement {
  TypedVerdict verdict = TypedVerdict::Wrong;
  // When wrong: the structure of the atlas the typed name stands for ("" when it names none,
  // as a misspelling does). It is what the learning record keeps as the confusion.
  std::string otherStructure;

  bool Right() const { return verdict != TypedVerdict::Wrong; }
};

// Judges `typed` for the structure `name`. `atlasNames` are the structures of the atlas a typed
// name may stand for instead (the name itself among them or not).
TypedJudgement JudgeTypedName(std::string_view typed, std::string_view name,
                              const SynonymPairs& synonyms = {},
                              const std::vector<std::string>& atlasNames = {});

}  // namespace ostrelin
