#pragma once
// An output file of tavlink-cli (a data text, a block image, a backup),
// written all or nothing. Prepare checks that the output can be written
// before any work is done; the command then writes into stream(), and only
// Commit changes the file. Without Commit the file stays as it was and
// nothing is left behind, also when an interrupt ends the program at once.
//
// Where the file goes (see transfer/saved_file.h): a symbolic link is
// written through; a plain file is replaced through a temporary file beside
// it and keeps its permission bits, or, where no temporary file can be made
// there, is rewritten in place by Commit; a device or FIFO is written to
// directly by Commit; a folder, or the command's own input, is refused.
//
// Every failure is reported on standard error as "tavlink-cli: ...".
// Threading: the user-interface thread, or a worker while it waits.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/offline_files.h"
#include "transfer/saved_file.h"

namespace tavlink::cli {

class OutputFile {
  struct Key {};

 public:
  // Prepares to write `path`; `input`, when not empty, is the command's
  // input file, and an output that is that same file is refused. Nothing
  // after reporting why the output cannot be written.
  static std::unique_ptr<OutputFile> Prepare(const std::string& path,
                                             const std::string& input = {});

  explicit OutputFile(Key) {}
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Where the new contents are written, in binary mode.
  std::FILE* stream() const;

  // Puts everything written into the file. False after reporting
  // "cannot write PATH: reason"; the file is then as it was, except that a
  // file rewritten in place or a device may hold part of the new contents.
  bool Commit();

 private:
  // Prepare's work; false after reporting.
  bool Open(const std::string& path, const std::string& input);
  // Reports "cannot write PATH: reason" and returns false.
  bool Fail(int error);

  std::string path_;      // as the user named it, for messages
  std::string target_;    // the file that changes
  bool direct_ = false;   // a device or FIFO: opened and written by Commit
  bool created_ = false;  // the target was made by this command (rewritten in place)
  std::optional<ReplacementFile> replacement_;
  FilePtr targetFile_;  // the target, held open to be rewritten in place

  // Everything written, kept in memory until Commit when the file is
  // rewritten in place or written directly.
  char* memory_ = nullptr;
  size_t memorySize_ = 0;
  FilePtr memoryStream_;
};

}  // namespace tavlink::cli
