#include "platform/core/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace ostrelin {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(size_t(written));
  }
  return true;
}

// Creates a new temporary file beside `path`; -1 when the folder does not let us.
int CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary) {
  constexpr int kAttempts = 100;  // names taken by leftovers of runs that were killed while saving
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string name = path.filename().string() + ".tmp";
    if (attempt > 0) name += std::to_string(attempt);
    temporary = path.parent_path() / name;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The file whose contents are replaced: a link is followed, so that the link stays a link and its
// target gets the new contents.
std::filesystem::path TargetOf(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec)) return path;
  std::filesystem::path target = std::filesystem::canonical(path, ec);
  return ec ? path : target;  // a dangling link is replaced like a missing file
}

// Whether an existing file may be written. Opening it for writing without truncating changes
// nothing; a write-protected file keeps its contents, as it would if it were rewritten in place.
bool MayWrite(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  ::close(fd);
  return true;
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& requested, std::string_view bytes) {
  const std::filesystem::path path = TargetOf(requested);
  if (!MayWrite(path)) return false;
  std::filesystem::path temporary;
  const int fd = CreateTemporary(path, temporary);
  if (fd < 0) return false;

  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd, old.st_mode & 07777);
  }
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the new name durable too; a folder that cannot be synced is no reason to fail.
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

}  // namespace ostrelin
