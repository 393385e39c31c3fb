#include "structures/core/typed_answer.h"

namespace ostrelin {

namespace {

bool EndsWithText(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string AnswerSpelling(std::string_view name) {
  std::string out;
  out.reserve(name.size() + 8);
  for (const char c : name) {
    switch (static_cast<unsigned char>(c)) {
      case ' ':
      case '\t':
        break;
      case 0xC4:  // Ä
      case 0xE4:  // ä
        out += "ae";
        break;
      case 0xD6:  // Ö
      case 0xF6:  // ö
        out += "oe";
        break;
      case 0xDC:  // Ü
      case 0xFC:  // ü
        out += "ue";
        break;
      case 0xDF:  // ß
        out += "ss";
        break;
      default:
        out += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
  }
  // The side written short, blanks already gone: "Thalamus li." -> "thalamusli." -> "thalamuslinks".
  if (EndsWithText(out, "li.")) {
    out.replace(out.size() - 3, 3, "links");
  } else if (EndsWithText(out, "re.")) {
    out.replace(out.size() - 3, 3, "rechts");
  }
  return out;
}

bool TypedAnswerMatches(std::string_view typed, std::string_view name,
                        const SynonymPairs& synonyms) {
  const std::string want = AnswerSpelling(name);
  const std::string got = AnswerSpelling(typed);
  if (got.empty()) return false;
  if (got == want) return true;
  for (const auto& [synonym, atlasName] : synonyms) {
    if (AnswerSpelling(synonym) == got && AnswerSpelling(atlasName) == want) return true;
  }
  return false;
}

}  // namespace ostrelin
