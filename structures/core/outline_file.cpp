#include "structures/core/outline_file.h"

#include <algorithm>
#include <cstdint>

#include "platform/core/strings.h"

namespace ostrelin {

namespace {

void AppendInt16(std::string& out, int value) {
  const auto bits = std::uint16_t(std::int16_t(value));
  out.push_back(char(bits & 0xFF));
  out.push_back(char(bits >> 8));
}

bool FitsInt16(long value) { return InRange(value, INT16_MIN, INT16_MAX); }

}  // namespace

void AppendRun(std::string& out, OutlineRun run) {
  out.push_back(char(run.start & 0xFF));
  out.push_back(char(run.end & 0xFF));
  out.push_back(char(((run.start >> 8) & 0x0F) | ((run.end >> 8) & 0x0F) << 4));
}

OutlineRun ColumnRuns::operator[](int i) const {
  std::uint8_t b[kOutlineRunBytes] = {0, 0, 0};
  const size_t at = size_t(i) * kOutlineRunBytes;
  for (size_t k = 0; k < kOutlineRunBytes && at + k < packed_.size(); ++k) {
    b[k] = std::uint8_t(packed_[at + k]);
  }
  return DecodeRun(b[0], b[1], b[2]);
}

std::string_view OutlineReader::Take(size_t n) {
  const size_t available = std::min(n, bytes_.size() - pos_);
  if (available < n) overran_ = true;
  const std::string_view taken = bytes_.substr(pos_, available);
  pos_ += available;
  return taken;
}

std::uint8_t OutlineReader::ReadByte() {
  const std::string_view b = Take(1);
  return b.empty() ? 0 : std::uint8_t(b[0]);
}

int OutlineReader::ReadInt16() {
  const std::string_view b = Take(2);
  const unsigned low = b.size() > 0 ? std::uint8_t(b[0]) : 0;
  const unsigned high = b.size() > 1 ? std::uint8_t(b[1]) : 0;
  return std::int16_t(std::uint16_t(low | high << 8));
}

std::string OutlineReader::ReadTitle() {
  const std::string_view field = Take(kOutlineTitleBytes);
  return std::string(field.substr(0, field.find('\0')));
}

OutlineRecordHead OutlineReader::ReadRecordHead() {
  OutlineRecordHead head;
  head.number = ReadByte();
  const int length = ReadInt16();
  if (length > 0) {
    // The field is a C string in a fixed buffer: it ends at its first zero byte, and a missing
    // zero byte cannot carry the name past the buffer. Missing bytes at the end of the data read
    // as zero, which ends the name there.
    std::string_view field = CutToBuffer(Take(size_t(length)), kOutlineNameCapacity);
    field = field.substr(0, field.find('\0'));
    head.name = std::string(Trimmed(field));
  }
  head.first = ReadInt16();
  head.last = ReadInt16();
  return head;
}

ColumnRuns OutlineReader::ReadColumn(int column) {
  const int declared = std::max(ReadInt16(), 0);
  // Only the runs that are there are taken; the reader stands at the end of the data afterwards
  // when some are missing.
  const std::string_view packed = Take(size_t(declared) * kOutlineRunBytes);
  return ColumnRuns(column, packed, declared);
}

OutlineFile DecodeOutline(std::string_view bytes, OutlineDamage* damage) {
  OutlineReader reader(bytes);
  OutlineFile file;
  file.title = reader.ReadTitle();
  const int count = reader.ReadCount();
  int complete = 0;
  bool truncated = false;
  for (int i = 0; i < count; ++i) {
    if (reader.AtEnd()) {
      truncated = true;
      break;
    }
    OutlineRecordHead head = reader.ReadRecordHead();
    OutlineRecord record;
    record.number = head.number;
    record.name = std::move(head.name);
    record.first = head.first;
    record.last = head.last;
    reader.ReadColumns(head, [&](const ColumnRuns& runs) {
      std::vector<OutlineRun>& column = record.columns.emplace_back();
      column.reserve(size_t(runs.Size()));
      for (int r = 0; r < runs.Size(); ++r) column.push_back(runs[r]);
    });
    // Columns the reader did not visit lie past the end of the data.
    if (reader.Overran() || int(record.columns.size()) < head.ColumnCount()) truncated = true;
    if (!truncated) complete = i + 1;
    file.records.push_back(std::move(record));
  }
  if (damage != nullptr) {
    damage->declaredCount = count;
    damage->truncated = truncated || reader.Overran();
    damage->completeRecords = complete;
    damage->trailingBytes = damage->truncated ? 0 : bytes.size() - reader.Position();
  }
  return file;
}

bool EncodeOutline(const OutlineFile& file, std::string& bytes, std::string& error) {
  error.clear();
  if (file.records.size() > size_t(INT16_MAX)) {
    error = "more than 32767 structures";
    return false;
  }
  std::string out;
  out.append(CutToBuffer(file.title, kOutlineTitleBytes + 1));
  out.resize(kOutlineTitleBytes, '\0');
  AppendInt16(out, int(file.records.size()));
  for (const OutlineRecord& record : file.records) {
    const std::string where = "structure \"" + record.name + "\": ";
    if (record.name.size() > kOutlineNameMax) {
      error = where + "name longer than 258 bytes";
      return false;
    }
    if (record.name.find('\0') != std::string::npos) {
      error = where + "name holds a zero byte";
      return false;
    }
    if (!FitsInt16(record.first) || !FitsInt16(record.last)) {
      error = where + "column outside -32768..32767";
      return false;
    }
    const size_t columns = record.HasOutline() && record.last >= record.first
                               ? size_t(record.last - record.first + 1)
                               : 0;
    if (record.columns.size() != columns) {
      error = where + "the column list does not match the column range";
      return false;
    }
    out.push_back(char(record.number));
    AppendInt16(out, int(record.name.size() + 1));
    out.append(record.name);
    out.push_back('\0');
    AppendInt16(out, record.first);
    AppendInt16(out, record.last);
    for (const std::vector<OutlineRun>& column : record.columns) {
      if (column.size() > size_t(INT16_MAX)) {
        error = where + "more than 32767 runs in a column";
        return false;
      }
      AppendInt16(out, int(column.size()));
      for (const OutlineRun& run : column) {
        if (run.start > kOutlineMaxRow || run.end > kOutlineMaxRow) {
          error = where + "row above 4095";
          return false;
        }
        AppendRun(out, run);
      }
    }
  }
  bytes = std::move(out);
  return true;
}

}  // namespace ostrelin
