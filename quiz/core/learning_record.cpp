#include "quiz/core/learning_record.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"
#include "structures/core/image_window_model.h"

namespace ostrelin {

namespace {

constexpr std::string_view kCannotWrite = "Lernstand-Datei kann nicht gespeichert werden:\n";
constexpr int kMaxCount = 999999999;

bool ParseNumber(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool ParseDate(std::string_view text, Day& day) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  int y = 0, m = 0, d = 0;
  if (!ParseNumber(text.substr(0, 4), y) || !ParseNumber(text.substr(5, 2), m) ||
      !ParseNumber(text.substr(8, 2), d)) {
    return false;
  }
  const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(unsigned(m)),
                                         std::chrono::day(unsigned(d))};
  if (!date.ok()) return false;
  day = Day(date);
  return true;
}

std::string FormatDate(Day day) {
  const std::chrono::year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(date.year()), unsigned(date.month()),
                unsigned(date.day()));
  return text;
}

// A name in the record may hold no field separator and no line break.
std::string FieldText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '#' || c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

bool ParseLine(std::string_view text, LearningEntry& entry) {
  // A CR within the line reads as the blank that writing makes of it: otherwise a name such as
  // " \rX" would be kept as "\rX", written as " X" and read back as "X", changing at every save.
  std::string line(text);
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    const size_t hash = line.find('#', start);
    fields.push_back(Trimmed(std::string_view(line).substr(start, hash - start)));
    if (hash == std::string_view::npos) break;
    start = hash + 1;
  }
  if (fields.size() != 6 || fields[0].empty()) return false;
  entry.name = std::string(fields[0]);
  if (!ParseNumber(fields[1], entry.box) || entry.box < kLowestBox || entry.box > kHighestBox) {
    return false;
  }
  if (!ParseDate(fields[2], entry.last)) return false;
  for (const auto& [field, count] :
       {std::pair{fields[3], &entry.right}, {fields[4], &entry.wrong}}) {
    if (!ParseNumber(field, *count) || *count < 0) return false;
    *count = std::min(*count, kMaxCount);
  }
  entry.confusedWith = std::string(fields[5]);
  return true;
}

}  // namespace

Day SystemToday() {
  return std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
}

Day DueDay(int box, Day last) {
  box = std::clamp(box, kLowestBox, kHighestBox);
  return last + std::chrono::days(box * box);
}

bool IsDue(const LearningEntry& entry, Day today) { return DueDay(entry.box, entry.last) <= today; }

void LearningRecord::Parse(std::string_view bytes) {
  entries_.clear();
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    LearningEntry entry;
    if (ParseLine(line, entry) && IndexOf(entry.name) < 0) entries_.push_back(std::move(entry));
  }
}

std::string LearningRecord::Encode() const {
  std::string out;
  for (const LearningEntry& e : entries_) {
    out += FieldText(e.name) + " # " + std::to_string(e.box) + " # " + FormatDate(e.last) + " # " +
           std::to_string(e.right) + " # " + std::to_string(e.wrong) + " # " +
           FieldText(e.confusedWith) + "\r\n";
  }
  return out;
}

int LearningRecord::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (EqualsIgnoringCase(entries_[i].name, name)) return int(i);
  }
  return -1;
}

const LearningEntry* LearningRecord::Find(std::string_view name) const {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &entries_[size_t(i)];
}

void LearningRecord::Answer(std::string_view name, bool right, Day today,
                            std::string_view confusedWith) {
  const std::string field = FieldText(name);
  const std::string stored(Trimmed(field));
  if (stored.empty()) return;
  int i = IndexOf(stored);
  if (i < 0) {
    LearningEntry entry;
    entry.name = stored;
    entries_.push_back(std::move(entry));
    i = int(entries_.size()) - 1;
  }
  LearningEntry& entry = entries_[size_t(i)];
  entry.last = today;
  if (right) {
    entry.box = std::min(entry.box + 1, kHighestBox);
    if (entry.right < kMaxCount) ++entry.right;
  } else {
    entry.box = kLowestBox;
    if (entry.wrong < kMaxCount) ++entry.wrong;
    const std::string chosen = FieldText(confusedWith);
    if (!Trimmed(chosen).empty()) entry.confusedWith = std::string(Trimmed(chosen));
  }
}

int LearningRecord::Merge(const LearningRecord& other) {
  int changed = 0;
  for (const LearningEntry& theirs : other.entries_) {
    const int i = IndexOf(theirs.name);
    if (i < 0) {
      entries_.push_back(theirs);
      ++changed;
      continue;
    }
    LearningEntry& ours = entries_[size_t(i)];
    const auto answers = [](const LearningEntry& e) { return long(e.right) + e.wrong; };
    if (theirs.last > ours.last || (theirs.last == ours.last && answers(theirs) > answers(ours))) {
      const std::string name = ours.name;  // the spelling this record knows it by
      ours = theirs;
      ours.name = name;
      ++changed;
    }
  }
  return changed;
}

BoxCounts LearningRecord::Count(Day today,
                                const std::function<bool(const std::string&)>& include) const {
  BoxCounts counts;
  for (const LearningEntry& e : entries_) {
    if (include && !include(e.name)) continue;
    ++counts.inBox[size_t(e.box - kLowestBox)];
    if (IsDue(e, today)) ++counts.due;
  }
  return counts;
}

std::vector<const LearningEntry*> LearningRecord::MostConfused(size_t limit) const {
  std::vector<const LearningEntry*> confused;
  for (const LearningEntry& e : entries_) {
    if (e.wrong > 0 && !e.confusedWith.empty()) confused.push_back(&e);
  }
  std::stable_sort(
      confused.begin(), confused.end(),
      [](const LearningEntry* a, const LearningEntry* b) { return a->wrong > b->wrong; });
  if (confused.size() > limit) confused.resize(limit);
  return confused;
}

void PutDueFirst(std::vector<std::uint16_t>& questions, const LearningRecord& record, Day today,
                 const std::function<std::string_view(int)>& nameOf) {
  std::vector<std::pair<int, std::uint16_t>> due;  // box, question
  std::vector<std::uint16_t> rest;
  for (const std::uint16_t q : questions) {
    const LearningEntry* entry = record.Find(nameOf(q));
    if (entry != nullptr && IsDue(*entry, today)) {
      due.emplace_back(entry->box, q);
    } else {
      rest.push_back(q);
    }
  }
  if (due.empty()) return;  // the order stays exactly as drawn
  std::stable_sort(due.begin(), due.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  questions.clear();
  for (const auto& [box, q] : due) questions.push_back(q);
  questions.insert(questions.end(), rest.begin(), rest.end());
}

LearningRecordFile::LearningRecordFile(std::string path, Writer write, MessageService* messages)
    : path_(std::move(path)), write_(std::move(write)), messages_(messages) {}

std::string LearningRecordFile::FileName(std::string_view userName) {
  return std::string(userName) + ".LRN";
}

void LearningRecordFile::Load() {
  const std::optional<std::string> bytes = ReadFileBytes(ResolvePath(path_));
  record_.Parse(bytes ? *bytes : std::string());
}

bool LearningRecordFile::Save() {
  if (write_ && write_(ResolvePath(path_), record_.Encode())) return true;
  if (!failureShown_ && messages_ != nullptr) {
    failureShown_ = true;
    messages_->Show(std::string(kCannotWrite) + path_, MessageButtons::Ok,
                    MessageIcon::Exclamation);
  }
  return false;
}

}  // namespace ostrelin
