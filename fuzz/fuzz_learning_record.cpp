// A learning record from arbitrary bytes: every entry read must be a sound one, the record must
// survive being written and read back unchanged, and answering must keep the boxes in range. The
// record's file reads the same bytes from its path alike, and a failing write is told once.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "platform/core/scripted_message_service.h"
#include "quiz/core/learning_record.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string input(reinterpret_cast<const char*>(data), size);
  LearningRecord record;
  record.Parse(input);
  for (const LearningEntry& e : record.Entries()) {
    Check(!e.name.empty() && e.box >= kLowestBox && e.box <= kHighestBox);
    Check(e.right >= 0 && e.wrong >= 0);
  }
  const std::string written = record.Encode();
  LearningRecord again;
  again.Parse(written);
  Check(again.Entries().size() == record.Entries().size());
  Check(again.Encode() == written);

  const Day today = Day(std::chrono::year(2026) / 1 / 1);
  const std::vector<LearningEntry>& entries = again.Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    const LearningEntry& e = entries[i];
    // Wrong answers name the next entry as the one confused with.
    const std::string& other = entries[(i + 1) % entries.size()].name;
    record.Answer(e.name, e.right % 2 == 0, today, e.right % 2 == 0 ? "" : other);
    const LearningEntry* now = record.Find(e.name);
    Check(now != nullptr && now->box >= kLowestBox && now->box <= kHighestBox);
  }
  // A name answered wrongly, asked before or not, is in the lowest box.
  std::string fresh;
  for (char c : input.substr(0, 40)) {
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) fresh += c;
  }
  record.Answer(fresh, false, today, input);
  if (!fresh.empty()) Check(record.Find(fresh)->box == kLowestBox);

  const BoxCounts counts = record.Count(today);
  int total = 0;
  for (int n : counts.inBox) total += n;
  Check(total == int(record.Entries().size()) && counts.due <= total);
  Check(record.Count(SystemToday(), [](const std::string&) { return false; }).due == 0);

  const auto confused = record.MostConfused(3);
  Check(confused.size() <= 3);
  for (size_t i = 0; i < confused.size(); ++i) {
    Check(confused[i]->wrong > 0 && !confused[i]->confusedWith.empty());
    Check(i == 0 || confused[i - 1]->wrong >= confused[i]->wrong);
  }

  // Putting the due questions first (of the record as read: answered today, none would be) only
  // reorders them, due ones first by box: one question per entry and one that names nothing.
  std::vector<std::uint16_t> questions;
  for (size_t i = 0; i <= entries.size() && i < 1000; ++i) questions.push_back(uint16_t(i));
  const auto nameOf = [&](int q) -> std::string_view {
    return size_t(q) < entries.size() ? std::string_view(entries[size_t(q)].name)
                                      : std::string_view();
  };
  std::vector<std::uint16_t> ordered = questions;
  PutDueFirst(ordered, again, today, nameOf);
  std::vector<std::uint16_t> sorted = ordered;
  std::sort(sorted.begin(), sorted.end());
  Check(sorted == questions);
  int lastBox = kLowestBox;
  bool dueEnded = false;
  for (const std::uint16_t q : ordered) {
    const LearningEntry* e = again.Find(nameOf(q));
    const bool due = e != nullptr && IsDue(*e, today);
    Check(!due || (!dueEnded && e->box >= lastBox));
    if (due) lastBox = e->box;
    dueEnded = dueEnded || !due;
  }

  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (fuzz::InputHash(input) % 16 != 1) return 0;
  // The file of the record, read by its path, holds the same record.
  ScriptedMessageService messages;
  std::string saved;
  bool writable = false;
  LearningRecordFile file(
      fuzz::ScratchFile(LearningRecordFile::FileName("fuzz"), input),
      [&](const std::filesystem::path&, std::string_view bytes) {
        saved = bytes;
        return writable;
      },
      &messages);
  file.Load();
  Check(file.Record().Encode() == written);

  // Saving: a failing write is told once per run, a working one writes the encoded record.
  Check(!file.Save() && !file.Save() && messages.shown.size() == 1);
  writable = true;
  Check(file.Save() && saved == file.Record().Encode());
  return 0;
}
