// The line reader and the list-line splitter that every list file of the data tree goes through,
// plus the Windows-1252 conversions that file names and texts pass.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/list_file.h"
#include "platform/core/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // A small buffer as well, so the cutting of long lines is reached by short inputs.
  for (size_t buffer : {ostrelin::TextReader::kLineBuffer, size_t(8), size_t(1)}) {
    ostrelin::TextReader reader(bytes, buffer);
    std::vector<std::string> fields;
    while (ostrelin::ReadListLine(reader, fields)) {
      for (const auto& f : fields) {
        if (f.find('#') != std::string::npos) __builtin_trap();
      }
    }
  }
  const std::string utf8 = ostrelin::Cp1252ToUtf8(bytes);
  if (ostrelin::Utf8ToCp1252(utf8) != bytes) __builtin_trap();
  (void)ostrelin::Utf8ToCp1252(bytes);
  return 0;
}
