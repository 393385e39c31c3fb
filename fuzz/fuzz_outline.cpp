// Outline files from arbitrary bytes, through every reader: the object list with its hit tests,
// centres and both kinds of painting, the whole-file decoder with a write-and-read-back of what it
// found, the link-list builder's lines and the authoring tool's dump.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/core/scripted_message_service.h"
#include "structures/core/object_list.h"
#include "structures/core/outline_file.h"
#include "tools/core/linklist.h"
#include "tools/core/outline_dump.h"

namespace {

using ostrelin::fuzz::Check;

class CheckingPlotter : public ostrelin::PointPlotter {
 public:
  void PlotPoints(ostrelin::Bgr, std::span<const ostrelin::ImagePoint> points) override {
    Check(!points.empty() && points.size() <= ostrelin::Punkteliste::kPointBatch);
    for (const ostrelin::ImagePoint& p : points) {
      Check(p.row >= 0 && p.row <= ostrelin::kOutlineMaxRow + 1);
    }
    plotted += points.size();
  }
  void DrawVLine(int, int from, int to, ostrelin::Bgr) override {
    Check(0 <= from && from <= to && to <= ostrelin::kOutlineMaxRow);
    ++lines;
  }
  size_t plotted = 0;
  size_t lines = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  CheckingPlotter plotter;
  ScriptedMessageService messages;
  Objektliste list(plotter, OutlineBytes{bytes}, messages);
  Check(messages.shown.empty());
  Check(list.Count() <= 32767);
  for (int i = 0; i < list.Count(); ++i) {
    const Objekt& entry = list.At(i);
    Check(entry.Name().size() <= kOutlineNameMax);
    Check(list.FindByName(entry.Name()) <= i);
    if (entry.outline == nullptr) continue;
    const Punkteliste& region = *entry.outline;
    const int centre = region.CentreColumn();
    Check(centre >= region.FirstColumn() || region.LastColumn() < region.FirstColumn());
    const int row = region.CentreRow();
    Check(row >= 0 && row <= 4999);
    // A pixel of the region is hit, unless fifty structures before it cover it too.
    const std::span<const OutlineRun> strand = region.Strand(region.FirstColumn());
    for (const OutlineRun& run : strand) {
      if (run.start > run.end) continue;
      const HitList& hits = list.HitTest(region.FirstColumn(), run.start);
      bool found = false;
      for (int hit : hits) {
        Check(hit >= 0 && hit < list.Count());
        Check(list.At(hit).outline->Contains(region.FirstColumn(), run.start));
        found = found || hit == i;
      }
      Check(found || hits.size() == HitList::kCapacity);
      break;
    }
    if (i < 64) {
      list.Draw(i, kDrawOutline);
      list.Draw(i, kDrawFilled);
    }
  }
  list.HitTest(0, 0);
  list.HitTest(-1, 4096);

  OutlineDamage damage;
  const OutlineFile file = DecodeOutline(bytes, &damage);
  Check(int(file.records.size()) <= std::max(damage.declaredCount, 0));
  Check(file.records.size() == size_t(list.Count()));
  std::string written;
  std::string error;
  if (!damage.truncated && EncodeOutline(file, written, error)) {
    Check(DecodeOutline(written) == file);
  }

  const std::string lines = LinklistLines(bytes, "Seite", "S C");
  Check(lines.empty() || lines.ends_with("\r\n"));
  Check(DumpOutline(bytes).ends_with("\n"));
  return 0;
}
