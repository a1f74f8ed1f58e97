// LockedFile on POSIX: open(2) and flock(2).
#include "app/locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "transfer/saved_file.h"

namespace tavlink {
namespace {

// Takes the lock on `fd` and wraps it in a stream; closes `fd` on failure.
std::FILE* LockAndWrap(int fd, const char* streamMode) {
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, streamMode);
  if (file == nullptr) ::close(fd);
  return file;
}

}  // namespace

std::optional<LockedFile> LockedFile::OpenForReading(const std::string& path) {
  std::FILE* file = LockAndWrap(::open(path.c_str(), O_RDONLY | O_CLOEXEC), "rb");
  if (file == nullptr) return std::nullopt;
  return LockedFile(file, path, false);
}

std::optional<LockedFile> LockedFile::OpenForReplacing(const std::string& path) {
  bool created = true;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0 && errno == EEXIST) {
    created = false;
    // Without O_NONBLOCK a FIFO would wait here for a reader; with it, one
    // without a reader fails at once. Writes are blocking again afterwards.
    fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  const bool opened = fd >= 0;
  std::FILE* file = LockAndWrap(fd, "wb");
  if (file == nullptr) {
    // Leave no trace of a file we made but could not hold.
    if (opened && created) ::unlink(path.c_str());
    return std::nullopt;
  }
  return LockedFile(file, path, created);
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      path_(std::move(other.path_)),
      created_(other.created_) {}

LockedFile::~LockedFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool LockedFile::regular() const {
  struct stat info {};
  return ::fstat(::fileno(file_), &info) == 0 && S_ISREG(info.st_mode);
}

bool LockedFile::Overwrite(std::string_view contents) {
  // Nothing was written through the stream, so its buffer is empty and the
  // descriptor can be written directly.
  return OverwriteInPlace(::fileno(file_), contents);
}

void LockedFile::Unlink() {
  ::unlink(path_.c_str());
}

}  // namespace tavlink
