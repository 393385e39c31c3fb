// A learning record from arbitrary bytes: every entry read must be a sound one, the record must
// survive being written and read back unchanged, and answering must keep the boxes in range.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "structures/core/learning_record.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  LearningRecord record;
  record.Parse(std::string(reinterpret_cast<const char*>(data), size));
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
  for (const LearningEntry& e : again.Entries()) {
    record.Answer(e.name, e.right % 2 == 0, today, e.confusedWith);
    const LearningEntry* now = record.Find(e.name);
    Check(now != nullptr && now->box >= kLowestBox && now->box <= kHighestBox);
  }
  const BoxCounts counts = record.Count(today);
  int total = 0;
  for (int n : counts.inBox) total += n;
  Check(total == int(record.Entries().size()) && counts.due <= total);
  return 0;
}
