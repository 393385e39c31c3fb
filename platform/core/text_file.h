#pragma once
// Text files as the atlas reads and writes them: Windows-1252 bytes, lines ended by CR LF (LF alone
// is accepted), read through a fixed line buffer.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ostrelin {

// Reads lines from bytes held in memory, the way text-mode reading with a fixed line buffer sees
// them:
// - CR LF counts as LF; a CR elsewhere is kept as a character;
// - a Ctrl-Z byte (0x1A) ends the file, as text mode on the original platform does;
// - a line holds at most `bufferSize - 1` bytes; the rest of a longer line is skipped, never
//   handed out as a line of its own (that would invent entries out of the middle of a line);
// - a line is a C string: it ends at its first NUL byte;
// - the last line counts even without a final line break.
class TextReader {
 public:
  static constexpr size_t kLineBuffer = 4999;

  explicit TextReader(std::string bytes, size_t bufferSize = kLineBuffer);

  // The next line without its line break; false at the end of the file.
  bool ReadLine(std::string& line);

 private:
  std::string bytes_;
  size_t end_;  // first byte not belonging to the text (the Ctrl-Z or the end)
  size_t pos_ = 0;
  size_t limit_;
};

// Whole file as bytes, or nothing when it cannot be opened as a regular file (missing, a directory,
// no permission).
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Writes `text` with every LF turned into CR LF, replacing the file. False when it cannot be
// written completely.
bool WriteTextFile(const std::filesystem::path& path, std::string_view text);

}  // namespace ostrelin
