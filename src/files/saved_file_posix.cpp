// Saving files on POSIX: lstat(2)/readlink(2) to follow links, open(2) with
// O_EXCL for the temporary file, rename(2) to put it in place, and
// posix_fallocate(3) to reserve room before a file is rewritten in place.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <utility>
#include <vector>

#include "files/saved_file.h"

namespace tavlink {
namespace {

// As many links as the system itself follows before it gives up.
constexpr int kMaxLinkHops = 40;

// The folder part of `path`, with its final '/'; empty for a bare name.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::optional<std::string> ResolveSaveTarget(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info {};
    // A missing or unreachable file is the target as named; opening it
    // later gives the reason.
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::vector<char> text(PATH_MAX);
    const ssize_t n = ::readlink(current.c_str(), text.data(), text.size());
    if (n < 0) return std::nullopt;
    if (n == 0 || static_cast<size_t>(n) >= text.size()) {
      errno = n == 0 ? ENOENT : ENAMETOOLONG;
      return std::nullopt;
    }
    std::string link(text.data(), static_cast<size_t>(n));
    current = link.front() == '/' ? std::move(link) : FolderOf(current) + link;
  }
  errno = ELOOP;
  return std::nullopt;
}

std::optional<ReplacementFile> ReplacementFile::Create(const std::string& target) {
  const std::string folder = FolderOf(target);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < detail::kTemporaryNameAttempts && fd < 0; ++attempt) {
    temp = folder + detail::TemporaryName();
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return std::nullopt;
  }
  if (fd < 0) return std::nullopt;

  bool ready = true;
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    // The owner first: changing it clears the set-id bits that fchmod sets.
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid())
      (void)!::fchown(fd, info.st_uid, info.st_gid);
    ready = ::fchmod(fd, info.st_mode & 07777) == 0;
  }
  std::FILE* file = ready ? ::fdopen(fd, "wb") : nullptr;
  if (file == nullptr) {
    const int error = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    errno = error;
    return std::nullopt;
  }
  return ReplacementFile(file, std::move(temp), target);
}

bool ReplacementFile::Commit() {
  int error = std::ferror(file_) ? EIO : 0;
  if (error == 0 && (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0)) error = errno;
  if (std::fclose(std::exchange(file_, nullptr)) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error = errno;
  if (error == 0) return true;
  ::unlink(temp_.c_str());
  errno = error;
  return false;
}

bool OverwriteInPlace(int fd, std::string_view contents) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  const bool plain = S_ISREG(info.st_mode);
  if (plain) {
    if (!contents.empty()) {
      const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(contents.size()));
      // Only a lack of room counts; a file system that cannot reserve
      // simply gets written.
      if (reserved == ENOSPC || reserved == EDQUOT || reserved == EFBIG) {
        errno = reserved;
        return false;
      }
    }
    if (::lseek(fd, 0, SEEK_SET) < 0) return false;
  }
  while (!contents.empty()) {
    const ssize_t n = ::write(fd, contents.data(), contents.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(n));
  }
  if (!plain) return true;
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  return end >= 0 && ::ftruncate(fd, end) == 0 && ::fsync(fd) == 0;
}

}  // namespace tavlink
