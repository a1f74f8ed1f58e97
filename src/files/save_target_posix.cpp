// SaveTarget on POSIX: stat(2) to tell what the target is, flock(2) to hold
// it, the shared replacement file, open_memstream(3) for contents kept
// until Commit.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "files/file_error.h"
#include "files/save_target.h"

namespace tavlink {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Takes the exclusive lock on `fd`; 0, or the error to refuse with.
int Lock(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
  return errno == EWOULDBLOCK ? kErrorInUse : errno;
}

}  // namespace

bool SaveTarget::Open(const std::string& path, const std::string& input, bool waitForReader,
                      int* error) {
  auto fail = [error](int why) {
    *error = why;
    return false;
  };
  const std::optional<std::string> resolved = ResolveSaveTarget(path);
  if (!resolved) return fail(errno);
  target_ = *resolved;

  struct stat info {};
  const bool exists = ::stat(target_.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) return fail(errno);
  if (exists && S_ISDIR(info.st_mode)) return fail(EISDIR);
  existed_ = exists;
  struct stat source {};
  if (exists && !input.empty() && ::stat(input.c_str(), &source) == 0 && SameFile(info, source))
    return fail(kErrorIsTheInput);

  if (exists && S_ISFIFO(info.st_mode) && waitForReader) {
    // Opened by Commit, which then waits for the reader.
    if (::access(target_.c_str(), W_OK) != 0) return fail(errno);
    openAtCommit_ = true;
  } else if (exists) {
    // Held for the whole command. Non-blocking, so that a FIFO without a
    // reader is refused (ENXIO) rather than hanging the command here.
    targetFd_ = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (targetFd_ < 0) return fail(errno);
    if (const int locked = Lock(targetFd_)) return fail(locked);
    if (::fcntl(targetFd_, F_SETFL, ::fcntl(targetFd_, F_GETFL) & ~O_NONBLOCK) != 0)
      return fail(errno);
  }
  if (!exists || S_ISREG(info.st_mode)) {
    if (std::optional<ReplacementFile> made = ReplacementFile::Create(target_)) {
      replacement_.emplace(std::move(*made));
      Track(replacement_->path());
      return true;
    }
    if (!exists) {
      // No temporary file fits beside it: make the file itself now, to be
      // rewritten in place by Commit.
      targetFd_ = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (targetFd_ < 0) return fail(errno);
      created_ = true;
      Track(target_);
      if (const int locked = Lock(targetFd_)) return fail(locked);
    }
  }
  memoryStream_ = ::open_memstream(&memory_, &memorySize_);
  return memoryStream_ != nullptr || fail(errno);
}

SaveTarget::~SaveTarget() {
  // What this save made goes, and is forgotten, in one step that a signal
  // cannot split.
  Atomically([this] {
    replacement_.reset();  // removes an uncommitted temporary file
    if (created_) ::unlink(target_.c_str());
    Untrack();
  });
  if (targetFd_ >= 0) ::close(targetFd_);
  if (memoryStream_ != nullptr) std::fclose(memoryStream_);  // before its memory goes
  std::free(memory_);
}

bool SaveTarget::Commit(int* error) {
  if (replacement_) {
    const bool done = replacement_->Commit();
    *error = errno;
    Untrack();  // the temporary name is gone either way
    return done;
  }
  if (std::ferror(memoryStream_) || std::fflush(memoryStream_) != 0) {
    *error = errno != 0 ? errno : ENOMEM;
    return false;
  }
  const std::string_view contents(memory_, memorySize_);
  if (openAtCommit_) {
    targetFd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    if (targetFd_ < 0) {
      *error = errno;
      return false;
    }
  }
  return RewriteInPlace(contents, error);
}

}  // namespace tavlink
