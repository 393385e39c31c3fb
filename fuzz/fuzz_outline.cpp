// Outline files from arbitrary bytes, through every reader: the object list with its hit tests,
// centres and both kinds of painting, the whole-file decoder with a write-and-read-back of what it
// found and the writer's refusals, the link-list builder's lines and the authoring tool's dump.
// Chosen from the input's length and first bytes: in one run of four the list is also read from a
// file through its image's path and the link-list program appends its lines to a file, both of
// which must agree with the readers in memory; in one run of eight only the object list is built,
// with one of its allocations failing.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "authoring/core/linklist.h"
#include "authoring/core/outline_dump.h"
#include "fuzz/allocation_failure.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "structures/core/object_list.h"
#include "structures/core/outline_file.h"

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

// The object list finds its outline file beside the image, as <image minus 3 characters>dat: a
// folder of this process holds "input.dat", a link to the memory file of the current input, and
// "folder.dat", a folder, which is no outline file.
class ImageBesideInput {
 public:
  ImageBesideInput() {
    std::string dir = (std::filesystem::temp_directory_path() / "ostrelin-outline-XXXXXX").string();
    Check(::mkdtemp(dir.data()) != nullptr);
    dir_ = dir;
    std::filesystem::create_directory(dir_ / "folder.dat");
  }
  ~ImageBesideInput() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ImageBesideInput(const ImageBesideInput&) = delete;
  ImageBesideInput& operator=(const ImageBesideInput&) = delete;

  // The image path whose outline file is `input`.
  std::string ImagePath(const ostrelin::fuzz::MemoryFile& input) {
    // Descriptors are reused, so the link rarely changes.
    if (input.Path() != target_) {
      target_ = input.Path();
      const std::filesystem::path link = dir_ / "input.dat";
      ::unlink(link.c_str());
      Check(::symlink(target_.c_str(), link.c_str()) == 0);
    }
    return (dir_ / "input.bmp").string();
  }
  // An image whose outline file is a folder.
  std::string FolderImagePath() const { return (dir_ / "folder.bmp").string(); }

 private:
  std::filesystem::path dir_;
  std::string target_;
};

// Without an outline file (none there, or a folder in its place) the list holds one unnamed
// entry, or none with a message when even that cannot be stored; once per process, the folder
// with each of the first allocations failing. (Not the missing file: resolving its name scans
// the folder for another spelling, and the standard library's non-throwing directory scan ends
// the program when an allocation fails inside it.)
bool CheckMissingOutline(CheckingPlotter& plotter, const ImageBesideInput& beside) {
  const auto holdsNothing = [](const ostrelin::Objektliste& list) {
    return list.Count() == 1 && list.At(0).Name().empty() && list.At(0).outline == nullptr;
  };
  ostrelin::ScriptedMessageService quiet;
  const ostrelin::Objektliste none(plotter, "/proc/self/fd/-1/missing.bmp", quiet);
  Check(holdsNothing(none) && none.FileName() == "/proc/self/fd/-1/missing.dat");
  const std::string folder = beside.FolderImagePath();
  for (long n = 0; n < 64; ++n) {
    ostrelin::ScriptedMessageService messages;
    try {
      ostrelin::fuzz::FailingAllocation failing(n);
      const ostrelin::Objektliste list(plotter, folder, messages);
      Check(holdsNothing(list) || (list.Count() == 0 && messages.shown.size() == 1));
    } catch (const std::bad_alloc&) {
    }
  }
  return quiet.shown.empty();
}

// The writer refuses what it cannot store, says why and leaves the bytes alone: each fault put
// into a one-structure file made from the first structure read (its first column at most).
void CheckEncoderRefusals(const ostrelin::OutlineFile& decoded) {
  using ostrelin::OutlineFile;
  using ostrelin::OutlineRecord;
  const auto refused = [](const OutlineFile& file) {
    std::string bytes = "kept", error;
    return !ostrelin::EncodeOutline(file, bytes, error) && bytes == "kept" && !error.empty();
  };
  // The two limits that take large data to pass, once per process.
  static const bool tooMany = [&] {
    OutlineFile records;
    records.records.resize(32768);
    OutlineFile runs{"",
                     {OutlineRecord{1, "Leber", 3, 3, {std::vector<ostrelin::OutlineRun>(32768)}}}};
    return refused(records) && refused(runs);
  }();
  Check(tooMany);
  if (decoded.records.empty()) return;
  const OutlineRecord& read = decoded.records.front();
  OutlineFile file{decoded.title, {OutlineRecord{read.number, read.name, 0, 0, {{}}}}};
  OutlineRecord& base = file.records.front();
  if (read.first != -1) base.first = base.last = read.first;  // (-1, -1) would mean no outline
  if (!read.columns.empty()) base.columns.front() = read.columns.front();
  std::string bytes, error;
  Check(ostrelin::EncodeOutline(file, bytes, error));

  const auto faults = {
      +[](OutlineRecord& r) { r.name.assign(ostrelin::kOutlineNameMax + 1, 'x'); },
      +[](OutlineRecord& r) { r.name.insert(r.name.begin(), '\0'); },
      +[](OutlineRecord& r) { r.first = r.last = 32768; },
      +[](OutlineRecord& r) { r.columns.emplace_back(); },
      +[](OutlineRecord& r) {
        r.columns.front().push_back({4096, 4096});
      },
  };
  for (auto fault : faults) {
    OutlineFile broken = file;
    fault(broken.records.front());
    Check(refused(broken));
  }
}

// The link-list program appends the same lines to its target file, with link target and image
// types typed in UTF-8 written in Windows-1252.
void CheckLinklistProgram(const ostrelin::fuzz::MemoryFile& source, const std::string& lines) {
  static const bool usage = [] {
    std::ostringstream out;
    const std::string alone[] = {"linklist"};
    return ostrelin::RunLinklist(alone, out) == 0 && out.str().starts_with("Aufruf:");
  }();
  Check(usage);
  const ostrelin::fuzz::MemoryFile target(std::string_view{});
  std::ostringstream out;
  const std::string args[] = {"linklist", target.Path(), source.Path(), "S\xC3\xA4ule", "S C"};
  Check(ostrelin::RunLinklist(args, out) == 1 && out.str().empty());
  Check(ostrelin::ReadFileBytes(target.Path()) == lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  CheckingPlotter plotter;
  static ImageBesideInput beside;
  static const bool missingChecked = CheckMissingOutline(plotter, beside);
  Check(missingChecked);

  std::uint32_t seed = 2166136261u;
  for (std::size_t i = 0; i < size && i < 64; ++i) seed = (seed ^ data[i]) * 16777619u;
  seed = (seed ^ std::uint32_t(size)) * 16777619u;
  if (seed % 8 == 0) {
    // Out of memory while the list is built: each of its own allocations gives up with a
    // message and keeps what it read; one outside them escapes as bad_alloc, leaking nothing.
    ScriptedMessageService messages;
    try {
      fuzz::FailingAllocation failing(long(seed / 8 % 16));
      const Objektliste list(plotter, OutlineBytes{bytes}, messages);
      Check(list.Count() <= 32767);
    } catch (const std::bad_alloc&) {
    }
    return 0;
  }

  ScriptedMessageService messages;
  Objektliste list(plotter, OutlineBytes{bytes}, messages);
  Check(messages.shown.empty());

  // The same list read from the file beside an image, for one input in four (a file costs a few
  // dozen system calls, which would halve the rate of a campaign on every input).
  const bool throughFiles = seed / 8 % 4 == 1;
  const std::optional<fuzz::MemoryFile> input =
      throughFiles ? std::optional<fuzz::MemoryFile>(std::in_place, bytes) : std::nullopt;
  if (input) {
    CheckingPlotter filePlotter;
    const Objektliste fromFile(filePlotter, beside.ImagePath(*input), messages);
    Check(messages.shown.empty() && fromFile.Count() == list.Count());
    Check(fromFile.Title() == list.Title());
    for (int i = 0; i < list.Count(); ++i) {
      Check(fromFile.At(i).Name() == list.At(i).Name());
      Check((fromFile.At(i).outline == nullptr) == (list.At(i).outline == nullptr));
    }
  }
  Check(list.FindByName(std::string(kOutlineNameMax + 1, 'x')) == -1);
  Check(!list.DrawByName(std::string(kOutlineNameMax + 1, 'x'), kDrawFilled));
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
      // By name: the first entry of that name, which may be an earlier one.
      if (i == 0) {
        Check(list.DrawByName(entry.Name(), kDrawOutline));
      } else {
        list.Draw(i, kDrawOutline);
      }
      Check(std::as_const(list).DrawByName(entry.Name(), kDrawFilled, plotter));
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
  CheckEncoderRefusals(file);

  const std::string lines = LinklistLines(bytes, "S\xE4ule", "S C");
  Check(lines.empty() || lines.ends_with("\r\n"));
  if (input) CheckLinklistProgram(*input, lines);
  Check(DumpOutline(bytes).ends_with("\n"));
  return 0;
}
