// The synonym list from arbitrary bytes, then the search of the index with every pair; the list
// read from a file of the same bytes must be the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "search/core/search_rules.h"
#include "platform/core/strings.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string input(reinterpret_cast<const char*>(data), size);
  SynonymList synonyms;
  synonyms.AddText(input);

  SearchNames names;
  for (size_t i = 0; i < synonyms.Count(); ++i) {
    const std::string& synonym = synonyms.Synonym(i);
    const std::string& replacement = synonyms.Replacement(i);
    Check(!synonym.empty() && !replacement.empty());
    Check(Trimmed(synonym) == synonym && Trimmed(replacement) == replacement);
    Check(synonym.find('#') == std::string::npos && replacement.find('#') == std::string::npos);
    for (char c : synonym + replacement) Check(c < 'a' || c > 'z');
    names.Add(replacement);
  }
  names.RemoveDuplicates();
  for (size_t i = 1; i < names.Count(); ++i) Check(names.At(i - 1) != names.At(i));

  // Every synonym leads to an entry (its own replacement at the latest) unless the replacement
  // was too long to be a list entry.
  std::string replaced;
  for (size_t i = 0; i < synonyms.Count(); ++i) {
    const std::string& synonym = synonyms.Synonym(i);
    Check(ReplaceSynonym(synonym, synonym, synonyms.Replacement(i), replaced) == 1);
    const int found = FindForText(names, synonyms, synonym);
    Check(found != SearchNames::kNone || synonyms.Replacement(i).size() > SearchNames::kMaxEntry);
  }
  FindForText(names, synonyms, input.substr(0, 512));
  Check(ReplaceSynonym(input, "", "X", replaced) == 0 && replaced == input);

  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (fuzz::InputHash(input) % 16 != 1) return 0;
  const fuzz::MemoryFile file(input);
  SynonymList loaded;
  Check(loaded.Load(file.Path()));
  Check(loaded.Count() == synonyms.Count());
  for (size_t i = 0; i < synonyms.Count(); ++i) {
    Check(loaded.Synonym(i) == synonyms.Synonym(i));
    Check(loaded.Replacement(i) == synonyms.Replacement(i));
  }
  Check(!loaded.Load(file.Path() + "-missing") && loaded.Count() == synonyms.Count());
  return 0;
}
