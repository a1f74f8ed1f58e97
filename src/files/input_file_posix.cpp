// Input files on POSIX: open(2), fstat(2) and flock(2).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_error.h"
#include "files/input_file.h"

namespace tavlink {

std::optional<InputFile> OpenInputFile(const std::string& path, int* error) {
  // Non-blocking, so that a FIFO without a writer does not hold us here; it
  // is refused below anyway.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error = errno;
    return std::nullopt;
  }
  auto fail = [fd, error](int why) -> std::optional<InputFile> {
    ::close(fd);
    *error = why;
    return std::nullopt;
  };
  struct stat info {};
  if (::fstat(fd, &info) != 0) return fail(errno);
  if (S_ISDIR(info.st_mode)) return fail(EISDIR);
  if (!S_ISREG(info.st_mode)) return fail(kErrorNotPlainFile);
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0) return fail(errno == EWOULDBLOCK ? kErrorInUse : errno);
  if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return fail(errno);
  std::FILE* stream = ::fdopen(fd, "rb");
  if (stream == nullptr) return fail(errno);
  return InputFile{StreamPtr(stream), static_cast<uint64_t>(info.st_size)};
}

}  // namespace tavlink
