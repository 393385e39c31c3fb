// Initialisation files: any bytes must parse, and every lookup must answer without reading past
// the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/core/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto ini = ostrelin::IniFile::Parse(bytes);
  for (const char* key : {"DataPath", "SavePath", "MMPlayer", "MMPlayerParam", ""}) {
    (void)ini.Get("Karvolen", key);
    (void)ini.Get("", key);
  }
  return 0;
}
