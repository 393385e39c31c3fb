// The line reader and the list-line splitter that every list file of the data tree goes through,
// the reading and writing of whole files, and the Windows-1252 conversions that file names and
// texts pass.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "platform/core/cp1252.h"
#include "platform/core/list_file.h"
#include "platform/core/text_file.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // A small buffer as well, so the cutting of long lines is reached by short inputs.
  for (size_t buffer : {TextReader::kLineBuffer, size_t(8), size_t(1)}) {
    TextReader reader(bytes, buffer);
    std::vector<std::string> fields;
    while (ReadListLine(reader, fields)) {
      for (const auto& f : fields) Check(f.find('#') == std::string::npos);
    }
  }

  // Every byte string survives both round trips; UTF-16 from the input's byte pairs converts to
  // at most one byte per unit.
  const std::string utf8 = Cp1252ToUtf8(bytes);
  Check(IsValidUtf8(utf8) && Utf8ToCp1252(utf8) == bytes);
  Check(Utf16ToCp1252(Cp1252ToUtf16(bytes)) == bytes);
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
  Check(Utf16ToCp1252(units).size() <= units.size());
  if (IsValidUtf8(bytes)) Check(Utf8ToCp1252(bytes).size() <= bytes.size());
  (void)Utf8ToCp1252(bytes);
  // Folding a capital again changes nothing.
  for (size_t i = 0; i < size && i < 256; ++i) {
    const unsigned char folded = FoldCp1252(data[i]);
    Check(FoldCp1252(folded) == folded);
  }
  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (fuzz::InputHash(bytes) % 16 != 1) return 0;
  // A file read by its path holds the bytes exactly; a folder is no file.
  const fuzz::MemoryFile file(bytes);
  Check(ReadFileBytes(file.Path()) == bytes);
  Check(!ReadFileBytes(fuzz::ScratchDirectory()));
  // Written as text, every LF becomes CR LF and nothing else changes.
  const std::string written = fuzz::ScratchDirectory() + "text_lines.txt";
  Check(WriteTextFile(written, bytes));
  std::string expected;
  for (char c : bytes) {
    if (c == '\n') expected += '\r';
    expected += c;
  }
  Check(ReadFileBytes(written) == expected);
  Check(!WriteTextFile(fuzz::ScratchDirectory() + "no folder/text_lines.txt", bytes));

  return 0;
}
