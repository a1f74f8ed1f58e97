#pragma once
// How every front end saves a file it has made (a data text, a block image,
// a backup): the new contents are written beside the file under a short
// temporary name and renamed over it, so the file holds either its old
// contents or the complete new ones, with its permission bits. A symbolic
// link is written through: the file it names changes, the link stays. Where
// no temporary file can be made (a folder the user may not write, a path at
// the system's length limit), the caller rewrites the file itself in place,
// and only once everything to write is known; a device or FIFO is always
// written in place, never replaced by a plain file.
//
// Threading: one thread at a time per object; ReplacementFile is move-only
// and removes an uncommitted temporary file in its destructor.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tavlink {

// The file that a save to `path` changes: `path` itself, or the file at the
// end of its chain of symbolic links, which need not exist yet. A link's
// relative text is taken from the link's folder. Nothing, with errno set,
// when the links form a loop (ELOOP) or a link cannot be read.
std::optional<std::string> ResolveSaveTarget(const std::string& path);

// A temporary file in the folder of `target`, written in full and then
// renamed over the target by Commit. Without Commit it is removed.
class ReplacementFile {
 public:
  // Creates "tavlink-XXXXXX.tmp" in the folder of `target`. When the target
  // is an existing plain file the temporary file takes its permission bits
  // (and, where the system allows, its owner); otherwise the usual bits for
  // a new file. Nothing, with errno set, when it cannot be made.
  static std::optional<ReplacementFile> Create(const std::string& target);

  ReplacementFile(ReplacementFile&& other) noexcept;
  ReplacementFile& operator=(ReplacementFile&&) = delete;
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile();

  // The stream to write the new contents to; null after Commit.
  std::FILE* get() const { return file_; }
  // The temporary file's own path.
  const std::string& path() const { return temp_; }

  // Flushes to disk, closes and renames over the target. On failure returns
  // false with errno set; the target is then unchanged and the temporary
  // file removed. An error on the stream counts as a failure.
  bool Commit();

 private:
  ReplacementFile(std::FILE* file, std::string temp, std::string target)
      : file_(file), temp_(std::move(temp)), target_(std::move(target)) {}

  std::FILE* file_ = nullptr;
  std::string temp_;
  std::string target_;
};

// Rewrites the open file `fd` to hold exactly `contents`. A plain file gets
// the room for the new contents reserved first, so that a full disk fails
// before a byte changes, then is written from its start, cut to length and
// flushed to disk. Anything else (a device, a FIFO) is simply written to.
// False with errno set on failure.
bool OverwriteInPlace(int fd, std::string_view contents);

namespace detail {

// How many temporary names Create tries before it gives up.
inline constexpr int kTemporaryNameAttempts = 100;

// "tavlink-" and six random letters or digits, then ".tmp": short enough to
// fit beside any file name.
std::string TemporaryName();

}  // namespace detail

}  // namespace tavlink
