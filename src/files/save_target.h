#pragma once
// A file that a command saves (a received block's data text, a backup, a
// block image), written all or nothing. Prepare checks that the file can
// be written before any work is done and holds it (locked) for the
// command; the command then writes into stream(), and only Commit changes
// the file. Without Commit the file stays as it was, and nothing this
// object made is left behind.
//
// Where the new contents go (see saved_file.h): a symbolic link is written
// through; a plain file is replaced through a temporary file beside it and
// keeps its permission bits, or, where no temporary file can be made there,
// is rewritten in place by Commit; a device or FIFO is written to by Commit
// (a FIFO must have a reader when Prepare runs, unless the caller may wait
// for one at Commit); a folder, a file this user
// may not write, a file another program holds, and the command's own input
// are refused.
//
// Threading: the user-interface thread, or a worker while it waits.

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "files/saved_file.h"

namespace tavlink {

class SaveTarget {
  struct Key {};

 public:
  // For a front end that a signal can end at once (the command line): the
  // files a save makes are named to it before they exist, and forgotten
  // once they are gone or in place, so it can remove them on the way out.
  class Guard {
   public:
    virtual ~Guard() = default;
    // `path` is to be removed if the program ends now.
    virtual void Track(const std::string& path) = 0;
    // `path`, tracked before, is not to be removed any more.
    virtual void Untrack(const std::string& path) = 0;
    // Runs `task` so that the program is not ended half way through it.
    virtual void Atomically(const std::function<void()>& task) = 0;
  };

  // How a save may behave beyond the contract above.
  struct Options {
    Guard* guard = nullptr;  // may be null
    // A FIFO without a reader: wait at Commit until one comes (a command
    // line), instead of refusing it at once (a window that must not hang).
    bool waitForReader = false;
  };

  // Prepares to save `path`. `input`, when not empty, is the command's
  // input file: an output that is that same file is refused. Nothing, with
  // `*error` set (errno or a file_error.h number), when the file cannot be
  // saved.
  static std::unique_ptr<SaveTarget> Prepare(const std::string& path, const std::string& input,
                                             Options options, int* error);

  explicit SaveTarget(Key) {}
  ~SaveTarget();
  SaveTarget(const SaveTarget&) = delete;
  SaveTarget& operator=(const SaveTarget&) = delete;

  // Where the new contents are written, in binary mode.
  std::FILE* stream() const;

  // Whether the file existed when Prepare ran (so that a save that is not
  // committed can say the file is unchanged rather than not created).
  bool TargetExisted() const { return existed_; }

  // Puts everything written into the file. False with `*error` set; the
  // file is then as it was, except that a file rewritten in place or a
  // device may hold part of the new contents.
  bool Commit(int* error);

 private:
  bool Open(const std::string& path, const std::string& input, bool waitForReader, int* error);
  // Commit's end where the file itself is written: `contents` into the
  // held target, in one step that the program cannot be ended inside.
  bool RewriteInPlace(std::string_view contents, int* error);
  void Track(const std::string& path);
  void Untrack();
  void Atomically(const std::function<void()>& task) const;

  Guard* guard_ = nullptr;
  std::string tracked_;        // what the guard is to remove now, if anything
  std::string target_;         // the file that changes
  bool openAtCommit_ = false;  // a FIFO whose reader may come later
  int targetFd_ = -1;          // the target, held and locked, when it exists or was made here
  bool created_ = false;       // the target was made here (to be rewritten in place)
  bool existed_ = false;       // the target existed at Prepare
  std::optional<ReplacementFile> replacement_;

  // Everything written, kept in memory until Commit when the target is
  // rewritten in place or is a device.
  char* memory_ = nullptr;
  size_t memorySize_ = 0;
  std::FILE* memoryStream_ = nullptr;
};

}  // namespace tavlink
