#include "platform/core/text_file.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <system_error>

namespace ostrelin {

TextReader::TextReader(std::string bytes, size_t bufferSize)
    : bytes_(std::move(bytes)), limit_(bufferSize > 0 ? bufferSize - 1 : 0) {
  end_ = std::min(bytes_.find('\x1A'), bytes_.size());
}

bool TextReader::ReadLine(std::string& line) {
  if (pos_ >= end_) return false;
  size_t lf = bytes_.find('\n', pos_);
  if (lf == std::string::npos || lf > end_) lf = end_;
  size_t stop = lf;
  if (stop > pos_ && bytes_[stop - 1] == '\r' && stop < end_) --stop;  // CR LF → LF
  stop = std::min(stop, pos_ + limit_);
  // Look for a NUL only within the line: searching on to the end of the text made every line
  // cost as much as the rest of the file.
  const size_t nul = std::string_view(bytes_).substr(pos_, stop - pos_).find('\0');
  if (nul != std::string_view::npos) stop = pos_ + nul;
  line.assign(bytes_, pos_, stop - pos_);
  pos_ = lf + 1;
  return true;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // One read of the size the file has; a file that grew meanwhile gives the rest as well.
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  std::string bytes(ec ? 0 : std::size_t(size), '\0');
  in.read(bytes.data(), std::streamsize(bytes.size()));
  bytes.resize(std::size_t(in.gcount()));
  if (in) bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteTextFile(const std::filesystem::path& path, std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(out.data(), std::streamsize(out.size()));
  file.close();
  return !file.fail();
}

}  // namespace ostrelin
