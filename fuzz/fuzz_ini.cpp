// Initialisation files: any bytes must parse, every lookup must answer without reading past the
// text, and reading a value from the file by its path must give what the parsed bytes give, cut to
// the caller's buffer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "platform/core/ini_file.h"
#include "platform/core/strings.h"

using ostrelin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ostrelin;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto ini = IniFile::Parse(bytes);
  for (const char* key : {"DataPath", "SavePath", "MMPlayer", "MMPlayerParam", ""}) {
    (void)ini.Get("Karvolen", key);
    (void)ini.Get("", key);
  }

  // The files are made in one run of 16 (chosen by a hash of the input): writing and resolving
  // paths costs far more than reading.
  if (fuzz::InputHash(bytes) % 16 != 1) return 0;
  const fuzz::MemoryFile file(bytes);
  // A buffer from 1 to 260 bytes, so short values are cut as well as long ones.
  const size_t buffer = size % 260 + 1;
  for (const char* key : {"DataPath", "SavePath"}) {
    const std::string value = ini.Get("Karvolen", key).value_or("");
    Check(ReadProfileString(file.Path(), "Karvolen", key, buffer) == CutToBuffer(value, buffer));
  }
  Check(ReadProfileString(file.Path() + "-missing", "Karvolen", "DataPath", 260).empty());
  return 0;
}
