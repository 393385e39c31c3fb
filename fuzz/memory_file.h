#pragma once
// An input as a file with a path, without touching the disk: an anonymous memory file, named
// through /proc/self/fd, so the readers that open a path see the same bytes as the readers that
// take them from memory.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
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

}  // namespace ostrelin::fuzz
