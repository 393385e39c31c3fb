#include "structures/core/object_list.h"

#include <algorithm>
#include <new>
#include <utility>

#include "platform/core/cp1252.h"
#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"

namespace ostrelin {

namespace {

// Rows lo..hi of one column, inclusive.
struct Interval {
  int lo;
  int hi;
};
using Intervals = std::vector<Interval>;

// The rows a column covers, as sorted, disjoint, non-touching intervals. Runs are stored in
// ascending order; a damaged file may have them in any order or overlapping.
void CoveredRows(std::span<const OutlineRun> runs, Intervals& out) {
  out.clear();
  bool sorted = true;
  for (const OutlineRun& run : runs) {
    if (run.start > run.end) continue;
    if (!out.empty() && run.start < out.back().lo) sorted = false;
    out.push_back({run.start, run.end});
  }
  if (!sorted) {
    std::sort(out.begin(), out.end(), [](Interval a, Interval b) { return a.lo < b.lo; });
  }
  size_t kept = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (kept > 0 && out[i].lo <= out[kept - 1].hi + 1) {
      out[kept - 1].hi = std::max(out[kept - 1].hi, out[i].hi);
    } else {
      out[kept++] = out[i];
    }
  }
  out.resize(kept);
}

// Rows covered by `a` or `b`, both sorted and disjoint, into `out` (sorted, disjoint).
void Union(const Intervals& a, const Intervals& b, Intervals& out) {
  out.clear();
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() || j < b.size()) {
    const Interval next = (j == b.size() || (i < a.size() && a[i].lo <= b[j].lo)) ? a[i++] : b[j++];
    if (!out.empty() && next.lo <= out.back().hi + 1) {
      out.back().hi = std::max(out.back().hi, next.hi);
    } else {
      out.push_back(next);
    }
  }
}

// Rows of `a` not covered by `b` (both sorted and disjoint).
void Difference(const Intervals& a, const Intervals& b, Intervals& out) {
  out.clear();
  size_t j = 0;
  for (Interval piece : a) {
    while (j < b.size() && b[j].hi < piece.lo) ++j;
    size_t k = j;
    while (k < b.size() && b[k].lo <= piece.hi) {
      if (b[k].lo > piece.lo) out.push_back({piece.lo, b[k].lo - 1});
      piece.lo = b[k].hi + 1;
      if (piece.lo > piece.hi) break;
      ++k;
    }
    if (piece.lo <= piece.hi) out.push_back(piece);
  }
}

// Collects points and hands them to the plotter in batches.
class PointBatch {
 public:
  PointBatch(PointPlotter& plotter, Bgr colour) : plotter_(plotter), colour_(colour) {}
  ~PointBatch() { Flush(); }

  void Add(int column, int row) {
    points_[size_++] = {column, row};
    if (size_ == points_.size()) Flush();
  }

 private:
  void Flush() {
    if (size_ == 0) return;
    plotter_.PlotPoints(colour_, std::span<const ImagePoint>(points_.data(), size_));
    size_ = 0;
  }

  PointPlotter& plotter_;
  Bgr colour_;
  std::array<ImagePoint, Punkteliste::kPointBatch> points_;
  size_t size_ = 0;
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCp1252(std::uint8_t(x)) == FoldCp1252(std::uint8_t(y));
         });
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Punkteliste

Punkteliste::Punkteliste(int first, int last, std::pmr::memory_resource* memory)
    : first_(first), last_(last), offsets_(memory), runs_(memory) {}

void Punkteliste::ReserveStrands(int columns) {
  offsets_.reserve(size_t(columns) + 1);
  if (offsets_.empty()) offsets_.push_back(0);
}

void Punkteliste::AppendStrand(const ColumnRuns& runs) {
  if (offsets_.empty()) offsets_.push_back(0);
  for (int i = 0; i < runs.Size(); ++i) runs_.push_back(runs[i]);
  offsets_.push_back(std::uint32_t(runs_.size()));
}

bool Punkteliste::Contains(int column, int row) const {
  for (const OutlineRun& run : Strand(column)) {
    if (run.start <= row && row <= run.end) return true;
  }
  return false;
}

int Punkteliste::CentreColumn() const {
  int reached = first_;
  while (reached < last_ && !Strand(reached).empty()) ++reached;
  return (first_ + reached) / 2;
}

int Punkteliste::CentreRow() const {
  int lowest = 9999;
  int highest = -1;
  for (long i = 0; i < StoredColumns(); ++i) {
    const std::span<const OutlineRun> strand = Strand(int(first_ + i));
    if (strand.empty()) continue;
    lowest = std::min(lowest, int(strand.front().start));
    highest = std::max(highest, int(strand.front().start));
  }
  return (lowest + highest) / 2;
}

void Punkteliste::PaintFilled(PointPlotter& plotter, Bgr colour) const {
  for (long i = 0; i < StoredColumns(); ++i) {
    const int column = int(first_ + i);
    for (const OutlineRun& run : Strand(column)) {
      if (run.start <= run.end) plotter.DrawVLine(column, run.start, run.end, colour);
    }
  }
}

void Punkteliste::PaintOutline(PointPlotter& plotter, Bgr colour) const {
  if (StoredColumns() <= 0) return;
  PointBatch batch(plotter, colour);
  // Three neighbouring columns at a time: left, own, right.
  Intervals left;
  Intervals own;
  Intervals right;
  Intervals sides;
  Intervals beside;  // outside pixels of the own column with an inside neighbour
  const int from = first_ - 1;
  const int to = int(first_ + StoredColumns());  // the first column without data, inclusive
  CoveredRows(Strand(from), right);              // empty, as is the column before it
  for (int column = from; column <= to; ++column) {
    std::swap(left, own);
    std::swap(own, right);
    CoveredRows(Strand(column + 1), right);

    Union(left, right, sides);
    Difference(sides, own, beside);
    size_t b = 0;
    for (const Interval& in : own) {
      batch.Add(column, in.lo);  // inside, the pixel below is outside
      // Outside above the run; it may already be part of `beside`.
      const int above = in.hi + 1;
      while (b < beside.size() && beside[b].hi < above) ++b;
      if (b == beside.size() || beside[b].lo > above) batch.Add(column, above);
    }
    for (const Interval& piece : beside) {
      for (int row = piece.lo; row <= piece.hi; ++row) batch.Add(column, row);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Objekt

void Objekt::SetName(std::string_view name) {
  name = CutToBuffer(name, name_.size());
  std::copy(name.begin(), name.end(), name_.begin());
  name_[name.size()] = '\0';
  nameLength_ = std::uint16_t(name.size());
}

// ---------------------------------------------------------------------------------------------
// Objektliste

std::string Objektliste::OutlinePathOf(std::string_view imagePath) {
  // The replacement is positional: the last three characters, whatever they are.
  std::string path(imagePath.substr(0, imagePath.size() - std::min<size_t>(imagePath.size(), 3)));
  path += "dat";
  return path;
}

Objektliste::Objektliste(PointPlotter& owner, std::string_view imagePath, MessageService& messages,
                         std::pmr::memory_resource* memory)
    : Objektliste(imagePath, messages, memory) {
  owner_ = &owner;
}

Objektliste::Objektliste(std::string_view imagePath, MessageService& messages,
                         std::pmr::memory_resource* memory)
    : owner_(nullptr),
      messages_(&messages),
      memory_(memory),
      fileName_(OutlinePathOf(imagePath)),
      entries_(memory) {
  const std::optional<std::string> bytes = ReadFileBytes(ResolvePath(fileName_));
  Fill(bytes ? std::optional<std::string_view>(*bytes) : std::nullopt);
}

Objektliste::Objektliste(PointPlotter& owner, OutlineBytes outline, MessageService& messages,
                         std::pmr::memory_resource* memory)
    : owner_(&owner), messages_(&messages), memory_(memory), entries_(memory) {
  Fill(outline.bytes);
}

void Objektliste::Fill(std::optional<std::string_view> bytes) {
  if (!bytes) {
    // No outline file: one unnamed entry, so the image simply has nothing to mark.
    Add(Objekt());
    return;
  }
  OutlineReader reader(*bytes);
  title_ = reader.ReadTitle();
  const int count = reader.ReadCount();
  if (count <= 0) return;
  try {
    entries_.reserve(std::min(size_t(count), reader.RecordsPossible()));
  } catch (const std::bad_alloc&) {
    messages_->Show(kNoMemoryEntries, MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  // Records that would begin past the end of the data are not there: a damaged count does not
  // turn into a list of phantoms.
  for (int i = 0; i < count && !reader.AtEnd(); ++i) {
    try {
      entries_.emplace_back();
    } catch (const std::bad_alloc&) {
      messages_->Show(kNoMemoryEntries, MessageButtons::Ok, MessageIcon::Exclamation);
      return;
    }
    Liste_Fuelle(reader, entries_.back());
  }
}

void Objektliste::Liste_Fuelle(OutlineReader& reader, Objekt& entry) {
  OutlineRecordHead head = reader.ReadRecordHead();
  entry.number = head.number;
  entry.SetName(head.name);
  entry.outline.reset();
  if (!head.HasOutline()) return;

  PunktelistePtr outline;
  try {
    std::pmr::polymorphic_allocator<Punkteliste> allocator(memory_);
    outline = PunktelistePtr(allocator.new_object<Punkteliste>(head.first, head.last, memory_),
                             PunktelisteDelete{memory_});
  } catch (const std::bad_alloc&) {
    messages_->Show(kNoMemoryOutline, MessageButtons::Ok, MessageIcon::Exclamation);
    reader.SkipColumns(head);
    return;
  }

  // Every column but a cut-off last one needs its two count bytes: a range larger than the data
  // left cannot be filled, whatever the column pair says.
  const long possible = long((reader.Size() - reader.Position() + 1) / 2);
  bool failed = false;
  try {
    outline->ReserveStrands(int(std::min<long>(head.ColumnCount(), possible)));
  } catch (const std::bad_alloc&) {
    failed = true;
  }
  reader.ReadColumns(head, [&](const ColumnRuns& runs) {
    if (failed) return;
    try {
      outline->AppendStrand(runs);
    } catch (const std::bad_alloc&) {
      failed = true;
    }
  });
  if (failed) {
    messages_->Show(kNoMemoryStrands, MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  entry.outline = std::move(outline);
}

void Objektliste::Add(Objekt entry) {
  entry.number = std::uint8_t(entries_.size());
  try {
    entries_.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    messages_->Show(kNoMemoryAdd, MessageButtons::Ok, MessageIcon::Exclamation);
  }
}

int Objektliste::FindByName(std::string_view name) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (EqualsIgnoringCase(entries_[i].Name(), name)) return int(i);
  }
  return -1;
}

bool Objektliste::DrawByName(std::string_view name, int mode) {
  const int index = FindByName(name);
  if (index < 0) return false;
  Draw(index, mode);
  return true;
}

void Objektliste::Draw(int index, int mode, Bgr colour) {
  if (index < 0 || index >= Count() || !owner_) return;
  PaintEntry(entries_[size_t(index)], mode, *owner_, colour);
}

bool Objektliste::DrawByName(std::string_view name, int mode, PointPlotter& into) const {
  const int index = FindByName(name);
  if (index < 0) return false;
  PaintEntry(entries_[size_t(index)], mode, into);
  return true;
}

void Objektliste::PaintEntry(const Objekt& entry, int mode, PointPlotter& into, Bgr colour) {
  const Punkteliste* outline = entry.outline.get();
  if (outline == nullptr) return;
  try {
    if (mode == kDrawFilled) {
      outline->PaintFilled(into, colour);
    } else {
      outline->PaintOutline(into, colour);
    }
  } catch (const std::bad_alloc&) {
    // Highlighting is drawn again with the next paint; a failed one leaves the image as it is.
  }
}

const HitList& Objektliste::HitTest(int column, int row) {
  hits_.Clear();
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Punkteliste* outline = entries_[i].outline.get();
    if (outline != nullptr && outline->Contains(column, row) && !hits_.Append(int(i))) break;
  }
  return hits_;
}

}  // namespace ostrelin
