#include "quiz/core/typed_answer.h"

#include <algorithm>
#include <array>

#include "platform/core/strings.h"

namespace ostrelin {

namespace {

// A name brought into the one spelling both sides are compared in: its words (lower case,
// umlauts and ß written out, short forms written in full) without the sides, and the sides
// ("links", "rechts") sorted.
struct Form {
  std::vector<std::string> words;
  std::vector<std::string> sides;

  std::string Joined() const {
    std::string out;
    for (const std::string& w : words) out += w;
    return out;
  }
};

struct Replacement {
  std::string_view from;
  std::string_view to;
};

constexpr std::array kShortForms = {
    Replacement{"a", "arteria"},      Replacement{"aa", "arteriae"},
    Replacement{"v", "vena"},         Replacement{"vv", "venae"},
    Replacement{"m", "musculus"},     Replacement{"mm", "musculi"},
    Replacement{"n", "nervus"},       Replacement{"nn", "nervi"},
    Replacement{"lig", "ligamentum"}, Replacement{"ligg", "ligamenta"},
    Replacement{"proc", "processus"}, Replacement{"nucl", "nucleus"},
};

constexpr std::array kSides = {
    Replacement{"re", "rechts"},      Replacement{"rechts", "rechts"},
    Replacement{"rechte", "rechts"},  Replacement{"rechter", "rechts"},
    Replacement{"rechtes", "rechts"}, Replacement{"rechten", "rechts"},
    Replacement{"dext", "rechts"},    Replacement{"dexter", "rechts"},
    Replacement{"dextra", "rechts"},  Replacement{"dextrum", "rechts"},
    Replacement{"li", "links"},       Replacement{"links", "links"},
    Replacement{"linke", "links"},    Replacement{"linker", "links"},
    Replacement{"linkes", "links"},   Replacement{"linken", "links"},
    Replacement{"sin", "links"},      Replacement{"sinister", "links"},
    Replacement{"sinistra", "links"}, Replacement{"sinistrum", "links"},
};

bool IsSeparator(char c) {
  switch (c) {
    case ' ':
    case '\t':
    case ',':
    case ';':
    case '-':
    case '.':
    case '/':
    case '(':
    case ')':
    case '[':
    case ']': return true;
    default: return false;
  }
}

// Lower case with the umlauts and ß written out (Windows-1252).
void AppendLetter(std::string& out, char c) {
  switch (static_cast<unsigned char>(c)) {
    case 0xC4:  // Ä
    case 0xE4:  // ä
      out += "ae";
      return;
    case 0xD6:  // Ö
    case 0xF6:  // ö
      out += "oe";
      return;
    case 0xDC:  // Ü
    case 0xFC:  // ü
      out += "ue";
      return;
    case 0xDF:  // ß
      out += "ss";
      return;
    default: break;
  }
  const auto u = static_cast<unsigned char>(c);
  if (c >= 'A' && c <= 'Z') {
    out += char(c - 'A' + 'a');
  } else if (u >= 0xC0 && u <= 0xDE && u != 0xD7) {
    out += char(u + 0x20);  // the other accented capitals
  } else {
    out += c;
  }
}

void AddWord(Form& form, const std::string& word) {
  if (word.empty()) return;
  for (const Replacement& side : kSides) {
    if (word == side.from) {
      form.sides.emplace_back(side.to);
      return;
    }
  }
  for (const Replacement& shortForm : kShortForms) {
    if (word == shortForm.from) {
      form.words.emplace_back(shortForm.to);
      return;
    }
  }
  form.words.push_back(word);
}

// The forms a name may be given in: the whole name and, for a name with a part in parentheses,
// the part outside and the part inside alone (the latter with the outside's side when it has
// none of its own).
std::vector<Form> FormsOf(std::string_view name) {
  Form whole, outside, inside;
  std::string word;
  int depth = 0;
  bool hasInside = false;
  const auto finish = [&] {
    AddWord(whole, word);
    AddWord(depth > 0 ? inside : outside, word);
    word.clear();
  };
  for (const char c : name) {
    if (IsSeparator(c)) {
      finish();
      if (c == '(' || c == '[') {
        ++depth;
        hasInside = true;
      } else if ((c == ')' || c == ']') && depth > 0) {
        --depth;
      }
    } else {
      AppendLetter(word, c);
    }
  }
  finish();
  std::vector<Form> forms;
  for (Form* f : {&whole, &outside, &inside}) std::sort(f->sides.begin(), f->sides.end());
  forms.push_back(whole);
  if (hasInside && !outside.words.empty() && !inside.words.empty()) {
    if (inside.sides.empty()) inside.sides = outside.sides;
    forms.push_back(std::move(outside));
    forms.push_back(std::move(inside));
  }
  return forms;
}

bool Same(const Form& a, const Form& b) {
  return !a.words.empty() && a.sides == b.sides && a.Joined() == b.Joined();
}

// True when `a` becomes `b` by adding, dropping or replacing one letter.
bool OneEditApart(const std::string& a, const std::string& b) {
  if (a.size() > b.size()) return OneEditApart(b, a);
  if (b.size() - a.size() > 1) return false;
  size_t i = 0;
  while (i < a.size() && a[i] == b[i]) ++i;
  if (a.size() == b.size()) {
    return i < a.size() && a.compare(i + 1, std::string::npos, b, i + 1, std::string::npos) == 0;
  }
  return a.compare(i, std::string::npos, b, i + 1, std::string::npos) == 0;
}

// One typing error in one word of six letters or more of the name, everything else the same.
bool OneTypingErrorApart(const Form& typed, const Form& name) {
  if (typed.sides != name.sides || typed.words.size() != name.words.size()) return false;
  int differing = 0;
  for (size_t i = 0; i < name.words.size(); ++i) {
    if (typed.words[i] == name.words[i]) continue;
    if (++differing > 1 || name.words[i].size() < 6 ||
        !OneEditApart(typed.words[i], name.words[i])) {
      return false;
    }
  }
  return differing == 1;
}

// The forms of what was typed: as typed and, for a synonym, as the atlas name it stands for
// (with the sides typed beside the synonym).
std::vector<Form> TypedForms(std::string_view typed, const SynonymPairs& synonyms) {
  std::vector<Form> forms = {FormsOf(typed).front()};
  const Form asTyped = forms.front();
  if (asTyped.words.empty()) return {};
  for (const auto& [synonym, atlasName] : synonyms) {
    const Form syn = FormsOf(synonym).front();
    if (syn.Joined() != asTyped.Joined()) continue;
    if (!std::includes(asTyped.sides.begin(), asTyped.sides.end(), syn.sides.begin(),
                       syn.sides.end())) {
      continue;
    }
    Form replaced = FormsOf(atlasName).front();
    std::vector<std::string> extra;
    std::set_difference(asTyped.sides.begin(), asTyped.sides.end(), syn.sides.begin(),
                        syn.sides.end(), std::back_inserter(extra));
    replaced.sides.insert(replaced.sides.end(), extra.begin(), extra.end());
    std::sort(replaced.sides.begin(), replaced.sides.end());
    replaced.sides.erase(std::unique(replaced.sides.begin(), replaced.sides.end()),
                         replaced.sides.end());
    forms.push_back(std::move(replaced));
  }
  return forms;
}

bool Names(const std::vector<Form>& typed, const std::vector<Form>& name) {
  for (const Form& t : typed) {
    for (const Form& n : name) {
      if (Same(t, n)) return true;
    }
  }
  return false;
}

}  // namespace

TypedJudgement JudgeTypedName(std::string_view typed, std::string_view name,
                              const SynonymPairs& synonyms,
                              const std::vector<std::string>& atlasNames) {
  TypedJudgement judgement;
  const std::vector<Form> typedForms = TypedForms(typed, synonyms);
  const std::vector<Form> nameForms = FormsOf(name);
  if (typedForms.empty() || nameForms.front().words.empty()) return judgement;
  if (Names(typedForms, nameForms)) {
    judgement.verdict = TypedVerdict::Right;
    return judgement;
  }
  for (const std::string& other : atlasNames) {
    const std::vector<Form> otherForms = FormsOf(other);
    if (Same(otherForms.front(), nameForms.front())) continue;  // the structure asked
    if (Names(typedForms, otherForms)) {
      judgement.otherStructure = std::string(Trimmed(other));
      return judgement;  // another structure, however close it comes to the name
    }
  }
  for (const Form& t : typedForms) {
    for (const Form& n : nameForms) {
      if (OneTypingErrorApart(t, n)) {
        judgement.verdict = TypedVerdict::Misspelt;
        return judgement;
      }
    }
  }
  return judgement;
}

}  // namespace ostrelin
