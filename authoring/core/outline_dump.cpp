#include "authoring/core/outline_dump.h"

#include <cstdio>

#include "platform/core/cp1252.h"
#include "structures/core/outline_file.h"

namespace ostrelin {

namespace {

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : Cp1252ToUtf8(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (std::uint8_t(c) < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(std::uint8_t(c)));
      out += hex;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string DumpOutline(std::string_view bytes) {
  OutlineDamage damage;
  const OutlineFile file = DecodeOutline(bytes, &damage);
  std::string out = "title " + Quoted(file.title) + "\n";
  out += "structures " + std::to_string(damage.declaredCount) + "\n";
  int index = 0;
  for (const OutlineRecord& record : file.records) {
    out += std::to_string(++index) + ": number " + std::to_string(record.number) + " " +
           Quoted(record.name);
    if (!record.HasOutline()) {
      out += " no outline\n";
      continue;
    }
    out += " columns " + std::to_string(record.first) + ".." + std::to_string(record.last);
    if (record.last < record.first) out += ", none";
    out += "\n";
    int column = record.first;
    for (const std::vector<OutlineRun>& runs : record.columns) {
      out += "  " + std::to_string(column++) + ":";
      if (runs.empty()) out += " -";
      for (const OutlineRun& run : runs) {
        out += " " + std::to_string(run.start) + "-" + std::to_string(run.end);
      }
      out += "\n";
    }
    if (column <= record.last) {
      out += "  " + std::to_string(column) + ".." + std::to_string(record.last) +
             ": past the end of the file\n";
    }
  }
  if (damage.truncated) {
    const int cut = damage.completeRecords + 1;
    if (cut <= int(file.records.size())) {
      out += "note: the file ends inside structure " + std::to_string(cut) +
             "; its missing bytes read as zero\n";
    }
    if (int(file.records.size()) < damage.declaredCount) {
      out += "note: " + std::to_string(damage.declaredCount - int(file.records.size())) + " of " +
             std::to_string(damage.declaredCount) + " structures lie past the end of the file\n";
    }
  }
  if (damage.trailingBytes > 0) {
    out += "note: " + std::to_string(damage.trailingBytes) +
           " bytes after the last structure are ignored\n";
  }
  return out;
}

}  // namespace ostrelin
