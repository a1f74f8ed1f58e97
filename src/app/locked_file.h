#pragma once
// Files opened by a command for its own duration, held with an exclusive
// advisory lock (flock) so that two programs never work on one file at the
// same time. A file that is locked elsewhere, missing or forbidden simply
// does not open; the caller ends its command without a word.
//
// Threading: one thread at a time; the handles are move-only and release
// their file (and lock) in the destructor.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tavlink {

// An open C stream with its lock.
class LockedFile {
 public:
  // Opens an existing file for reading, in binary mode.
  static std::optional<LockedFile> OpenForReading(const std::string& path);

  // Opens `path` for writing without emptying it, creating it when missing
  // (then created() is true). The new contents normally go to a
  // ReplacementFile beside it; Overwrite writes into this file itself. A
  // FIFO that no program reads does not open (the command would hang).
  static std::optional<LockedFile> OpenForReplacing(const std::string& path);

  LockedFile(LockedFile&& other) noexcept;
  LockedFile& operator=(LockedFile&&) = delete;
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  ~LockedFile();

  std::FILE* get() const { return file_; }
  const std::string& path() const { return path_; }
  bool created() const { return created_; }

  // True for a plain file; false for a device or FIFO, which is written in
  // place rather than replaced.
  bool regular() const;

  // Makes the file hold exactly `contents` (see OverwriteInPlace). False
  // with errno set on failure.
  bool Overwrite(std::string_view contents);

  // Removes the file from its folder (used for a file this command created
  // and could not fill). The stream stays open until destruction.
  void Unlink();

 private:
  LockedFile(std::FILE* file, std::string path, bool created)
      : file_(file), path_(std::move(path)), created_(created) {}

  std::FILE* file_ = nullptr;
  std::string path_;
  bool created_ = false;
};

}  // namespace tavlink
