#pragma once
// An output file of tavlink-cli (a data text, a block image, a backup):
// the shared SaveTarget (files/save_target.h), with interrupts that end the
// program at once removing what it made, and every failure reported on
// standard error as "tavlink-cli: cannot write PATH: reason".
//
// Threading: the user-interface thread, or a worker while it waits.

#include <cstdio>
#include <memory>
#include <string>

#include "files/save_target.h"

namespace tavlink::cli {

class OutputFile {
  struct Key {};

 public:
  // Prepares to write `path`; `input`, when not empty, is the command's
  // input file, and an output that is that same file is refused. Nothing
  // after reporting why the output cannot be written.
  static std::unique_ptr<OutputFile> Prepare(const std::string& path,
                                             const std::string& input = {});

  OutputFile(Key, std::string path, std::unique_ptr<SaveTarget> target)
      : path_(std::move(path)), target_(std::move(target)) {}

  // Where the new contents are written, in binary mode.
  std::FILE* stream() const { return target_->stream(); }

  // Puts everything written into the file; false after reporting why not.
  bool Commit();

 private:
  std::string path_;  // as the user named it, for messages
  std::unique_ptr<SaveTarget> target_;
};

}  // namespace tavlink::cli
