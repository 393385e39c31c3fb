#pragma once
// The binary outline file of a sectional image: which structures the image shows and the exact
// pixels each one covers. The atlas and the link-list builder read it through `OutlineReader`;
// `EncodeOutline` writes it, for the authoring tool and the tests.
//
// Layout (little-endian, no padding, 16-bit fields signed):
//   title        20 bytes of text
//   count        16-bit; zero or less means no records
//   count records, each:
//     number     1 byte
//     length L   16-bit, then L name bytes that include the terminating zero byte
//     first      16-bit column
//     last       16-bit column; (-1, -1) marks a structure without outline, nothing more follows
//     for every column first..last (none when last < first):
//       n        16-bit run count, then n runs of 3 bytes
// A run is two 12-bit rows packed in three bytes b0 b1 b2: start = b0 + 256 * (b2 & 0x0F),
// end = b1 + 256 * (b2 >> 4), both inclusive. Columns count from the image's left edge, rows
// upward from its bottom edge.
//
// The format has no magic number and no checksum, so the reader is built for damaged files: the
// bytes missing from a record cut off by the end of the data read as zero (a truncated file yields
// what a stream reader delivers), but reading stops at the end of the data: records that would
// begin past it do not exist, and no count or column range taken from the file makes a reader
// allocate or loop over more than the bytes that are really there.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelin {

inline constexpr size_t kOutlineTitleBytes = 20;
// The name field of a structure holds 259 bytes with the terminator: longer names are cut.
inline constexpr size_t kOutlineNameCapacity = 259;
inline constexpr size_t kOutlineNameMax = kOutlineNameCapacity - 1;
// Rows are 12-bit numbers.
inline constexpr int kOutlineMaxRow = 4095;
inline constexpr size_t kOutlineRunBytes = 3;

// Rows start..end (inclusive) of one column. A run with start > end covers nothing.
struct OutlineRun {
  std::uint16_t start = 0;
  std::uint16_t end = 0;
  friend bool operator==(const OutlineRun&, const OutlineRun&) = default;
};

inline OutlineRun DecodeRun(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  return {std::uint16_t(b0 | (b2 & 0x0F) << 8), std::uint16_t(b1 | (b2 >> 4) << 8)};
}

// The three bytes of a run; rows above 4095 lose their high bits.
void AppendRun(std::string& out, OutlineRun run);

// The fixed part of one structure record, with its name already cut to the field and trimmed.
struct OutlineRecordHead {
  std::uint8_t number = 0;
  std::string name;
  int first = 0;
  int last = 0;

  bool HasOutline() const { return !(first == -1 && last == -1); }
  // Column entries that follow the head in the file: none for (-1, -1) or when last < first.
  int ColumnCount() const { return HasOutline() && last >= first ? last - first + 1 : 0; }
};

// The run data of one column as the reader finds it.
class ColumnRuns {
 public:
  ColumnRuns(int column, std::string_view packed, int declared)
      : column_(column), packed_(packed), declared_(declared) {}

  int Column() const { return column_; }
  // The run count the file states (zero for a negative one).
  int Declared() const { return declared_; }
  // Runs that can be decoded: every whole run present and, when the file ends inside the
  // column's runs, the run cut off (its bytes left, then zero bytes) and one run of rows 0..0
  // standing for all the runs missing after it, which read as zero bytes alike.
  int Size() const {
    const int present = int((packed_.size() + kOutlineRunBytes - 1) / kOutlineRunBytes);
    return present < declared_ ? present + 1 : present;
  }
  OutlineRun operator[](int i) const;
  // True when some of the column's runs lie past the end of the data.
  bool Truncated() const { return int(packed_.size() / kOutlineRunBytes) < declared_; }

 private:
  int column_;
  std::string_view packed_;  // whole runs, then at most two bytes of a cut-off run
  int declared_;
};

// Reads an outline file held in memory, field by field.
class OutlineReader {
 public:
  explicit OutlineReader(std::string_view bytes) : bytes_(bytes) {}

  // The title up to its first zero byte (all 20 bytes when it has none).
  std::string ReadTitle();
  // The structure count as stored; zero or less means no records.
  int ReadCount() { return ReadInt16(); }

  // Number, name and column pair of the next record. The name is the field up to its first zero
  // byte, at most 258 bytes of it, trimmed of blanks and tabs; a longer field is read past, a
  // negative length reads no bytes.
  OutlineRecordHead ReadRecordHead();

  // Visits the column data that follows `head`: `visit(const ColumnRuns&)` once per column in
  // order. Columns past the end of the data are not visited: they hold no runs, and a damaged
  // column range must not turn into a long walk over nothing.
  template <class Visit>
  void ReadColumns(const OutlineRecordHead& head, Visit&& visit) {
    const int count = head.ColumnCount();
    for (int i = 0; i < count && !AtEnd(); ++i) visit(ReadColumn(head.first + i));
  }
  void SkipColumns(const OutlineRecordHead& head) {
    ReadColumns(head, [](const ColumnRuns&) {});
  }

  // One column's run count and runs.
  ColumnRuns ReadColumn(int column);

  std::uint8_t ReadByte();
  int ReadInt16();

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  // An upper bound of the records that can still begin: a whole record takes at least 7 bytes,
  // and the last one may be cut off.
  size_t RecordsPossible() const { return (bytes_.size() - pos_) / 7 + 1; }
  // True once a read wanted bytes past the end of the data.
  bool Overran() const { return overran_; }
  size_t Position() const { return pos_; }
  size_t Size() const { return bytes_.size(); }

 private:
  // Up to `n` bytes from the current position; fewer at the end of the data.
  std::string_view Take(size_t n);

  std::string_view bytes_;
  size_t pos_ = 0;
  bool overran_ = false;
};

// An outline file as a whole, for writing and for inspection.
struct OutlineRecord {
  std::uint8_t number = 0;
  std::string name;  // without the terminating zero byte
  int first = -1;
  int last = -1;  // (-1, -1): no outline
  // One entry per column from first on. A record read from a damaged file may hold fewer than
  // last - first + 1: the columns past the end of the data hold no runs.
  std::vector<std::vector<OutlineRun>> columns;

  bool HasOutline() const { return !(first == -1 && last == -1); }
  friend bool operator==(const OutlineRecord&, const OutlineRecord&) = default;
};

struct OutlineFile {
  std::string title;
  std::vector<OutlineRecord> records;
  friend bool operator==(const OutlineFile&, const OutlineFile&) = default;
};

// What reading a whole file found besides the records.
struct OutlineDamage {
  int declaredCount = 0;     // the count field as stored
  bool truncated = false;    // the data ended before the last declared record did
  int completeRecords = 0;   // records read before the end of the data was passed
  size_t trailingBytes = 0;  // bytes after the last record, which readers ignore
};

// Every record of `bytes`, read as the atlas reads them (records without outline included; none
// that would begin past the end of the data).
OutlineFile DecodeOutline(std::string_view bytes, OutlineDamage* damage = nullptr);

// The file's bytes: the title cut or padded with zero bytes to 20, each name followed by its zero
// byte inside the length. False with `error` set when the data cannot be written as it is: more
// than 32767 records, a name longer than 258 bytes or holding a zero byte, a column outside the
// 16-bit range, a column list that does not match the column pair, more than 32767 runs in a
// column, a row above 4095.
bool EncodeOutline(const OutlineFile& file, std::string& bytes, std::string& error);

}  // namespace ostrelin
