#include "shell/core/settings.h"

#include "platform/core/ini_file.h"
#include "platform/core/paths.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

void EndWithBackslash(std::string& path) {
  if (path.empty() || path.back() != '\\') path += '\\';
}

}  // namespace

Settings LoadSettings(const std::string& workingDirectory, const std::string& windowsDirectory) {
  std::string file = workingDirectory;
  EndWithBackslash(file);
  file += LoadText(text::kSettingsFile);

  const std::string& section = LoadText(text::kSettingsSection);
  auto read = [&](int key) {
    return ReadProfileString(file, section, LoadText(key), Settings::kValueBuffer);
  };

  Settings s;
  s.DataPath = read(text::kKeyDataPath);
  s.SavePath = read(text::kKeySavePath);
  s.MMPlayer = read(text::kKeyMMPlayer);
  s.MMPlayerParam = read(text::kKeyMMPlayerParam);
  s.MMPlayer2 = read(text::kKeyMMPlayer2);
  s.MMPlayerParam2 = read(text::kKeyMMPlayerParam2);

  if (s.MMPlayer.empty()) {
    s.MMPlayer = windowsDirectory;
    EndWithBackslash(s.MMPlayer);
    s.MMPlayer += LoadText(text::kDefaultPlayer);
  }
  if (s.MMPlayerParam.empty()) s.MMPlayerParam = LoadText(text::kDefaultPlayerParam);
  EndWithBackslash(s.DataPath);
  EndWithBackslash(s.SavePath);
  return s;
}

Settings LoadSettings() { return LoadSettings(CurrentDirectory(), WindowsDirectory()); }

}  // namespace ostrelin
