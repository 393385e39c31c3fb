#pragma once
// An input as a file with a path, without touching the disk: an anonymous memory file, named
// through /proc/self/fd, so the readers that open a path see the same bytes as the readers that
// take them from memory.
//
// The loaders that compose a path from a folder and fixed file names ("Daten\Index.LST") need a
// real folder instead: ScratchFile puts the bytes into a folder of this process's own under
// /dev/shm (memory as well), made at the first call and removed when the process exits.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"

namespace ostrelin::fuzz {

class MemoryFile {
 public:
  explicit MemoryFile(std::string_view bytes) : fd_(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
    Check(fd_ >= 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ::ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      Check(n > 0);
      done += std::size_t(n);
    }
  }
  MemoryFile(const std::uint8_t* data, std::size_t size)
      : MemoryFile(std::string_view(reinterpret_cast<const char*>(data), size)) {}
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() { ::close(fd_); }

  // Opening the path gives a fresh descriptor that reads from the first byte.
  std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

// A hash of the input (FNV-1a), for choosing the runs that also take the slower ways (files,
// failing allocations) without changing how the bytes are read.
inline std::uint32_t InputHash(std::string_view bytes) {
  std::uint32_t hash = 2166136261u;
  for (const char c : bytes) hash = (hash ^ std::uint8_t(c)) * 16777619u;
  return hash;
}

// The process's scratch folder, with a trailing slash.
inline const std::string& ScratchDirectory() {
  static const std::string directory = [] {
    std::string pattern = "/dev/shm/ostrelin-fuzz-XXXXXX";
    Check(::mkdtemp(pattern.data()) != nullptr);
    static std::string made;
    made = pattern;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(made, ec);
    });
    return pattern + "/";
  }();
  return directory;
}

// Writes `bytes` to `relativePath` below the scratch folder (its folders made as needed) and
// returns the file's path.
inline std::string ScratchFile(std::string_view relativePath, std::string_view bytes) {
  const std::string path = ScratchDirectory() + std::string(relativePath);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  Check(!out.fail());
  return path;
}

}  // namespace ostrelin::fuzz
