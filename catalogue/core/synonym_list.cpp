#include "catalogue/core/synonym_list.h"

#include <algorithm>

#include "platform/core/list_file.h"
#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

std::string AsciiCapitals(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), AsciiUpper);
  return text;
}

}  // namespace

bool SynonymList::Load(const std::filesystem::path& path) {
  std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return false;
  AddText(*bytes);
  return true;
}

bool SynonymList::LoadFromAtlas(std::string_view dataPath) {
  std::string path(dataPath);
  path += LoadText(text::kDirDaten);
  path += LoadText(text::kFileSynonyms);
  return Load(ResolvePath(path));
}

void SynonymList::AddText(std::string_view bytes) {
  TextReader reader{std::string(bytes)};
  std::string line;
  while (reader.ReadLine(line)) {
    const std::vector<std::string> fields = SplitListFields(Trimmed(line));
    if (fields.size() < 2 || fields[0].empty() || fields[1].empty()) continue;
    synonyms_.push_back(AsciiCapitals(fields[0]));
    replacements_.push_back(AsciiCapitals(fields[1]));
  }
}

size_t ReplaceSynonym(std::string_view text, std::string_view synonym, std::string_view replacement,
                      std::string& out) {
  out.clear();
  if (synonym.empty()) {
    out.assign(text);
    return 0;
  }
  size_t replaced = 0;
  size_t pos = 0;
  for (size_t at = text.find(synonym); at != std::string_view::npos; at = text.find(synonym, pos)) {
    out.append(text.substr(pos, at - pos));
    out.append(replacement);
    pos = at + synonym.size();
    ++replaced;
  }
  out.append(text.substr(pos));
  return replaced;
}

}  // namespace ostrelin
