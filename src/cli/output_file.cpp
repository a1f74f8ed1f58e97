// OutputFile on POSIX: stat(2) to tell what the output is, the shared
// replacement file, open_memstream(3) for contents kept until Commit.
#include "cli/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cli/console.h"

namespace tavlink::cli {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::Prepare(const std::string& path, const std::string& input) {
  auto output = std::make_unique<OutputFile>(Key{});
  bool opened = false;
  // What is made here is named for removal before an interrupt can end the
  // program.
  WithInterruptsDeferred([&] { opened = output->Open(path, input); });
  if (!opened) return nullptr;
  return output;
}

bool OutputFile::Open(const std::string& path, const std::string& input) {
  path_ = path;
  const std::optional<std::string> target = ResolveSaveTarget(path);
  if (!target) return Fail(errno);
  target_ = *target;

  struct stat info {};
  const bool exists = ::stat(target_.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) return Fail(errno);
  if (exists && S_ISDIR(info.st_mode)) return Fail(EISDIR);
  struct stat source {};
  if (exists && !input.empty() && ::stat(input.c_str(), &source) == 0 && SameFile(info, source)) {
    std::fprintf(stderr, "tavlink-cli: %s is the input file %s; give another output file.\n",
                 path.c_str(), input.c_str());
    return false;
  }

  if (exists && !S_ISREG(info.st_mode)) {
    // A device or FIFO is written to, never replaced by a plain file. It is
    // opened only by Commit: a FIFO would wait for its reader here.
    if (::access(target_.c_str(), W_OK) != 0) return Fail(errno);
    direct_ = true;
  } else if (std::optional<ReplacementFile> made = ReplacementFile::Create(target_)) {
    replacement_.emplace(std::move(*made));
    RemoveOnInterrupt(replacement_->path());
    return true;
  } else {
    // No temporary file beside the target: hold the target itself and
    // rewrite it in place at the end.
    const int fd = exists ? ::open(target_.c_str(), O_WRONLY | O_CLOEXEC)
                          : ::open(target_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return Fail(errno);
    created_ = !exists;
    if (created_) RemoveOnInterrupt(target_);
    targetFile_.reset(::fdopen(fd, "wb"));
    if (!targetFile_) {
      const int error = errno;
      ::close(fd);
      return Fail(error);  // a file made here is removed with this object
    }
  }
  memoryStream_.reset(::open_memstream(&memory_, &memorySize_));
  return memoryStream_ != nullptr || Fail(errno);
}

OutputFile::~OutputFile() {
  // What this command made goes, and is forgotten, in one step that an
  // interrupt cannot split.
  WithInterruptsDeferred([this] {
    replacement_.reset();  // removes an uncommitted temporary file
    if (created_) ::unlink(target_.c_str());
    KeepOnInterrupt();
  });
  memoryStream_.reset();  // before the memory it fills is released
  std::free(memory_);
}

std::FILE* OutputFile::stream() const {
  return replacement_ ? replacement_->get() : memoryStream_.get();
}

bool OutputFile::Commit() {
  if (replacement_) {
    const bool done = replacement_->Commit();
    const int error = errno;
    KeepOnInterrupt();  // the temporary name is gone either way
    return done || Fail(error);
  }
  if (std::ferror(memoryStream_.get()) || std::fflush(memoryStream_.get()) != 0)
    return Fail(errno != 0 ? errno : ENOMEM);
  const std::string_view contents(memory_, memorySize_);
  if (direct_) {
    FilePtr device(std::fopen(target_.c_str(), "wbe"));
    if (!device) return Fail(errno);
    return OverwriteInPlace(::fileno(device.get()), contents) || Fail(errno);
  }
  // The file itself is rewritten: an interrupt must not cut that half way.
  bool done = false;
  int error = 0;
  WithInterruptsDeferred([&] {
    done = OverwriteInPlace(::fileno(targetFile_.get()), contents);
    error = errno;
    if (done) {
      created_ = false;  // a file made here now holds the output: it stays
      KeepOnInterrupt();
    }
  });
  return done || Fail(error);
}

bool OutputFile::Fail(int error) {
  std::fprintf(stderr, "tavlink-cli: cannot write %s: %s\n", path_.c_str(), std::strerror(error));
  return false;
}

}  // namespace tavlink::cli
