#pragma once
// The learning record: what one user knows of the atlas's structures, kept over days in the file
// <user name>.LRN in the save path. Windows-1252 text with CR LF, one line per structure:
//
//   name # box # last date (YYYY-MM-DD) # right # wrong # last confused with
//
// The boxes 1 to 5 are those of a card file: a right answer moves a structure up one box, a wrong
// one back to box 1, and a structure in box b is due again b * b days after its last answer.
// Questions ask due structures of low boxes first. A line that does not read as such a line is
// skipped without a word; it disappears with the next write.

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/message_service.h"

namespace ostrelin {

using Day = std::chrono::sys_days;
// Today's date; the program reads the clock, tests fix the day.
using TodayClock = std::function<Day()>;
Day SystemToday();

inline constexpr int kLowestBox = 1;
inline constexpr int kHighestBox = 5;

struct LearningEntry {
  std::string name;
  int box = kLowestBox;
  Day last{};
  int right = 0;
  int wrong = 0;
  std::string confusedWith;  // the name chosen at the last wrong answer ("" when none)
};

// The day a structure in `box` last answered on `last` is asked again.
Day DueDay(int box, Day last);
bool IsDue(const LearningEntry& entry, Day today);

// Structure counts per box (index 0 for box 1) and how many of them are due.
struct BoxCounts {
  std::array<int, kHighestBox> inBox{};
  int due = 0;
};

class LearningRecord {
 public:
  // Reads the file's text; replaces what the record held.
  void Parse(std::string_view bytes);
  std::string Encode() const;

  // The structure's entry (name compared ignoring case), null when it was never asked.
  const LearningEntry* Find(std::string_view name) const;
  // Records an answer given on `today`; `confusedWith` is what was chosen when it was wrong.
  void Answer(std::string_view name, bool right, Day today, std::string_view confusedWith = {});

  const std::vector<LearningEntry>& Entries() const { return entries_; }

  // Takes in the entries of another record (the same user's record from another device): a
  // structure new here is added; one known to both keeps the entry answered later, and on the
  // same day the one with more answers (the record that went on from the other's copy). Returns
  // how many entries were added or replaced.
  int Merge(const LearningRecord& other);

  // Counts the entries whose names `include` accepts (every entry without a filter).
  BoxCounts Count(Day today,
                  const std::function<bool(const std::string&)>& include = nullptr) const;
  // The `limit` structures answered wrongly most often (with a confusion), most first.
  std::vector<const LearningEntry*> MostConfused(size_t limit) const;

 private:
  int IndexOf(std::string_view name) const;
  std::vector<LearningEntry> entries_;
};

// Puts the due structures among `questions` first, lowest box first and otherwise in their
// order, the rest after them in the order they had. `nameOf` gives a question's structure name.
void PutDueFirst(std::vector<std::uint16_t>& questions, const LearningRecord& record, Day today,
                 const std::function<std::string_view(int)>& nameOf);

// The record of one user, read from and written to its file. Writing goes through `write`
// (the program replaces the file through a temporary file); when it fails the user is told once
// per run and the quiz goes on.
class LearningRecordFile {
 public:
  using Writer = std::function<bool(const std::filesystem::path& path, std::string_view bytes)>;

  // `path` is the file's path as the settings compose it (save path + file name); `write` gets
  // it resolved to a Linux path. `messages` may be null (no message).
  LearningRecordFile(std::string path, Writer write, MessageService* messages);

  // The file name of a user's record: the user name and ".LRN".
  static std::string FileName(std::string_view userName);

  // Reads the file; a missing file is an empty record.
  void Load();
  // Writes the record; false when it failed.
  bool Save();

  LearningRecord& Record() { return record_; }
  const LearningRecord& Record() const { return record_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  Writer write_;
  MessageService* messages_;
  LearningRecord record_;
  bool failureShown_ = false;
};

}  // namespace ostrelin
