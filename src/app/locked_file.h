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

namespace tavlink {

// An open C stream with its lock.
class LockedFile {
 public:
  // Opens an existing file for reading, in binary mode.
  static std::optional<LockedFile> OpenForReading(const std::string& path);

  // Opens `path` for writing without emptying it, creating it when missing
  // (then created() is true). Writes go elsewhere: see ReplacementFile.
  static std::optional<LockedFile> OpenForReplacing(const std::string& path);

  LockedFile(LockedFile&& other) noexcept;
  LockedFile& operator=(LockedFile&&) = delete;
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  ~LockedFile();

  std::FILE* get() const { return file_; }
  const std::string& path() const { return path_; }
  bool created() const { return created_; }

  // The permission bits of the open file.
  unsigned mode() const;

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

// A temporary file beside a target, written in full and then renamed over
// the target by Commit, so that the target holds either its old contents or
// the complete new ones. Without Commit the temporary file is removed.
class ReplacementFile {
 public:
  // Creates "<target>.XXXXXX" in the target's folder with permission bits
  // `mode`; nothing when that fails.
  static std::optional<ReplacementFile> Create(const std::string& target, unsigned mode);

  ReplacementFile(ReplacementFile&& other) noexcept;
  ReplacementFile& operator=(ReplacementFile&&) = delete;
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile();

  std::FILE* get() const { return file_; }

  // Flushes to disk, closes and renames over the target. On failure
  // returns false with errno set; the target is then unchanged.
  bool Commit();

 private:
  ReplacementFile(std::FILE* file, std::string temp, std::string target)
      : file_(file), temp_(std::move(temp)), target_(std::move(target)) {}

  std::FILE* file_ = nullptr;
  std::string temp_;
  std::string target_;
};

}  // namespace tavlink
