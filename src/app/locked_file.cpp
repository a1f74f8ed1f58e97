// LockedFile and ReplacementFile on POSIX: open(2), flock(2), mkstemp(3),
// rename(2).
#include "app/locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

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
    fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
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

unsigned LockedFile::mode() const {
  struct stat info {};
  if (::fstat(::fileno(file_), &info) != 0) return 0644;
  return info.st_mode & 07777;
}

void LockedFile::Unlink() {
  ::unlink(path_.c_str());
}

std::optional<ReplacementFile> ReplacementFile::Create(const std::string& target, unsigned mode) {
  std::string pattern = target + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string temp(name.data());
  std::FILE* file = nullptr;
  if (::fchmod(fd, mode) == 0) file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    ::close(fd);
    ::unlink(temp.c_str());
    return std::nullopt;
  }
  return ReplacementFile(file, std::move(temp), target);
}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      temp_(std::move(other.temp_)),
      target_(std::move(other.target_)) {}

ReplacementFile::~ReplacementFile() {
  if (file_ != nullptr) {
    std::fclose(file_);
    ::unlink(temp_.c_str());
  }
}

bool ReplacementFile::Commit() {
  int error = 0;
  if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0) error = errno;
  if (std::fclose(std::exchange(file_, nullptr)) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error = errno;
  if (error == 0) return true;
  ::unlink(temp_.c_str());
  errno = error;
  return false;
}

}  // namespace tavlink
