#include "platform/core/ini_file.h"

#include "platform/core/cp1252.h"
#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"

namespace ostrelin {
namespace {

bool IsPlainAscii(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::string_view TrimSpace(std::string_view s) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

IniFile IniFile::Parse(std::string_view bytes) {
  IniFile ini;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (!IsPlainAscii(bytes) && IsValidUtf8(bytes)) {
    ini.text_ = Utf8ToCp1252(bytes);
  } else {
    ini.text_ = std::string(bytes);
  }
  return ini;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  std::string_view text = text_;
  bool inSection = false;
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    std::string_view line = TrimSpace(text.substr(0, lf));
    text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      const std::string_view name =
          TrimSpace(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      inSection = EqualsAsciiNoCase(name, section);
      continue;
    }
    if (!inSection) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || !EqualsAsciiNoCase(TrimSpace(line.substr(0, eq)), key)) {
      continue;
    }
    std::string_view value = TrimSpace(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

std::string ReadProfileString(std::string_view windowsPath, std::string_view section,
                              std::string_view key, size_t bufferSize) {
  const auto bytes = ReadFileBytes(ResolvePath(windowsPath));
  if (!bytes) return {};
  const auto value = IniFile::Parse(*bytes).Get(section, key);
  if (!value) return {};
  return std::string(CutToBuffer(*value, bufferSize));
}

}  // namespace ostrelin
