#pragma once
// The object list: the structures of one sectional image, read from its outline file, with hit
// testing, lookup by name, centring and highlighting into the image object's zoomed bitmap.
//
// Memory: the list allocates through a std::pmr::memory_resource (the default resource unless one
// is given). When an allocation fails, the list says so in a message box ("Kein Speicher bei
// ...") and goes on without the part it could not allocate; the outline file is still read to
// its end, so the structures after a failed one keep their own data.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/core/point_plotter.h"
#include "platform/core/message_service.h"
#include "structures/core/outline_file.h"

namespace ostrelin {

// The out-of-memory messages, named after the place that failed.
inline constexpr std::string_view kNoMemoryEntries =
    "Kein Speicher bei ObjListe in Objekt Objektliste";
inline constexpr std::string_view kNoMemoryAdd = "Kein Speicher bei ObjListe in Objekt Add";
inline constexpr std::string_view kNoMemoryOutline =
    "Kein Speicher bei Pktliste in Objekt Liste_Fuelle";
inline constexpr std::string_view kNoMemoryStrands =
    "Kein Speicher bei Punktestraehle in Punkte Punkteliste";

// Display modes of the highlighting.
inline constexpr int kDrawOutline = 0;
inline constexpr int kDrawFilled = 1;

// The region of one structure: for every column from first to last its strand, the runs of rows
// the structure covers there. Runs are kept decoded, in file order, all columns' runs in one array
// with an offset per column. Columns past the end of a damaged file are not stored: they are
// empty.
class Punkteliste {
 public:
  Punkteliste(int first, int last, std::pmr::memory_resource* memory);

  int FirstColumn() const { return first_; }
  int LastColumn() const { return last_; }

  // The runs of `column`; empty outside first..last.
  std::span<const OutlineRun> Strand(int column) const {
    const long i = long(column) - first_;
    if (i < 0 || i >= StoredColumns()) return {};
    const std::uint32_t begin = offsets_[size_t(i)];
    return std::span<const OutlineRun>(runs_).subspan(begin, offsets_[size_t(i) + 1] - begin);
  }

  // True when one run of the column has start <= row <= end.
  bool Contains(int column, int row) const;

  // Column halfway between the first column and the first column without runs after it (or the
  // last column): a region whose columns are not contiguous is centred on its first part.
  int CentreColumn() const;
  // Row halfway between the smallest and the largest start of a column's first run, over the
  // columns that have runs; 4999 when no column has one.
  int CentreRow() const;

  // One DrawVLine per run, in green (or `colour`).
  void PaintFilled(PointPlotter& plotter, Bgr colour = kHighlightGreen) const;
  // The outline in green, handed to the plotter in batches of 4096 points: every inside pixel
  // whose lower neighbour is outside, every outside pixel whose lower neighbour is inside, and
  // every outside pixel with an inside pixel directly left or right of it.
  void PaintOutline(PointPlotter& plotter, Bgr colour = kHighlightGreen) const;

  // Building, column after column from the first: reserve, then append each column's runs.
  // Both throw std::bad_alloc when the memory resource refuses.
  void ReserveStrands(int columns);
  void AppendStrand(const ColumnRuns& runs);

  static constexpr size_t kPointBatch = 4096;

 private:
  long StoredColumns() const { return offsets_.empty() ? 0 : long(offsets_.size()) - 1; }

  int first_;
  int last_;
  // Where each stored column's runs begin, and one past the last: StoredColumns() + 1 entries
  // starting with 0, or none before the first column is stored.
  std::pmr::vector<std::uint32_t> offsets_;
  std::pmr::vector<OutlineRun> runs_;
};

// Deletes a Punkteliste allocated from a memory resource.
struct PunktelisteDelete {
  std::pmr::memory_resource* memory = nullptr;
  void operator()(Punkteliste* outline) const {
    std::pmr::polymorphic_allocator<Punkteliste>(memory).delete_object(outline);
  }
};
using PunktelistePtr = std::unique_ptr<Punkteliste, PunktelisteDelete>;

// One structure of the image.
class Objekt {
 public:
  // Its number from the file; entries added by `Add` get their index.
  std::uint8_t number = 0;
  // Absent for a structure without outline: never hit, paints nothing, has no centre.
  PunktelistePtr outline;

  // The name, at most 258 bytes (Windows-1252), trimmed of blanks and tabs.
  std::string_view Name() const { return std::string_view(name_.data(), nameLength_); }
  void SetName(std::string_view name);

 private:
  std::array<char, kOutlineNameCapacity> name_{};
  std::uint16_t nameLength_ = 0;
};

// The structures hit by one point, by index in list order: at most 50.
class HitList {
 public:
  static constexpr int kCapacity = 50;

  int size() const { return size_; }
  bool empty() const { return size_ == 0; }
  int operator[](int i) const { return indices_[size_t(i)]; }
  const int* begin() const { return indices_.data(); }
  const int* end() const { return indices_.data() + size_; }

  void Clear() { size_ = 0; }
  // False, storing nothing, when the list is full.
  bool Append(int index) {
    if (size_ == kCapacity) return false;
    indices_[size_t(size_++)] = index;
    return true;
  }

 private:
  std::array<int, kCapacity> indices_{};
  int size_ = 0;
};

// The bytes of an outline file already in memory, for `Objektliste`.
struct OutlineBytes {
  std::string_view bytes;
};

class Objektliste {
 public:
  // Reads the outline file of the image at `imagePath` (a Windows path; the outline file has the
  // same path with its last three characters replaced by "dat"). A file that cannot be opened
  // leaves one entry with empty name and no outline, without a message.
  Objektliste(PointPlotter& owner, std::string_view imagePath, MessageService& messages,
              std::pmr::memory_resource* memory = std::pmr::get_default_resource());
  // The same from the bytes of an outline file.
  Objektliste(PointPlotter& owner, OutlineBytes outline, MessageService& messages,
              std::pmr::memory_resource* memory = std::pmr::get_default_resource());
  // The outline file read before its image is there (while it decodes): nothing is drawn until
  // the list is attached to the image.
  Objektliste(std::string_view imagePath, MessageService& messages,
              std::pmr::memory_resource* memory = std::pmr::get_default_resource());
  // Draws into `owner` and reports through `messages` from now on.
  void Attach(PointPlotter& owner, MessageService& messages) {
    owner_ = &owner;
    messages_ = &messages;
  }

  Objektliste(const Objektliste&) = delete;
  Objektliste& operator=(const Objektliste&) = delete;

  // The outline file's path as composed (empty for a list built from bytes).
  const std::string& FileName() const { return fileName_; }
  // The outline file's title, "NONAME" when there was no file.
  const std::string& Title() const { return title_; }

  int Count() const { return int(entries_.size()); }
  const Objekt& At(int index) const { return entries_[size_t(index)]; }

  int CurrentStructure() const { return current_; }
  void SetCurrentStructure(int index) { current_ = index; }

  // Reads one structure record into `entry`: number, trimmed name and, unless the column pair is
  // (-1, -1), its outline. The record's bytes are read to its end even when its outline cannot be
  // allocated.
  void Liste_Fuelle(OutlineReader& reader, Objekt& entry);

  // Appends `entry` with its index as number; on allocation failure shows "Kein Speicher bei
  // ObjListe in Objekt Add" and leaves the list as it was.
  void Add(Objekt entry);

  // The first entry, in list order, whose name equals `name` ignoring letter case (umlauts
  // included, as Windows-1252 folds them); -1 when none does.
  int FindByName(std::string_view name) const;

  // Paints the first entry called `name`: filled in mode 1, as outline in any other mode.
  // False when no entry has that name; a structure without outline is found but paints nothing.
  bool DrawByName(std::string_view name, int mode);
  // Paints entry `index` the same way (nothing for an index out of range), in `colour`.
  void Draw(int index, int mode, Bgr colour = kHighlightGreen);
  // The same into another plotter (a saved picture of the whole image).
  bool DrawByName(std::string_view name, int mode, PointPlotter& into) const;

  // Every entry whose outline contains the pixel, in list order, at most 50. Resets the hit list.
  const HitList& HitTest(int column, int row);
  const HitList& Hits() const { return hits_; }

  static std::string OutlinePathOf(std::string_view imagePath);

 private:
  void Fill(std::optional<std::string_view> bytes);
  static void PaintEntry(const Objekt& entry, int mode, PointPlotter& into,
                         Bgr colour = kHighlightGreen);

  PointPlotter* owner_;  // null until attached
  MessageService* messages_;
  std::pmr::memory_resource* memory_;
  std::string fileName_;
  std::string title_ = "NONAME";
  HitList hits_;
  int current_ = 0;
  std::pmr::vector<Objekt> entries_;
};

}  // namespace ostrelin
