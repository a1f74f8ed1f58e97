#pragma once
// The output files of tavlink-cli (a data text, a block image, a backup):
// the shared SaveTarget (files/save_target.h), with interrupts that end the
// program at once removing what it made, a FIFO's reader waited for, and
// every failure reported on `terminal`'s standard error as "tavlink-cli:
// cannot write PATH: reason".
//
// Threading: the user-interface thread, or a worker while it waits.

#include <memory>
#include <string>

#include "cli/terminal.h"
#include "files/save_target.h"

namespace tavlink::cli {

// Prepares to write `path`; `input`, when not empty, is the command's input
// file, and an output that is that same file is refused. Nothing after
// reporting why the output cannot be written.
std::unique_ptr<SaveTarget> PrepareOutput(Terminal& terminal, const std::string& path,
                                          const std::string& input = {});

// Puts everything written into `target` (prepared for `path`); false after
// reporting why not.
bool CommitOutput(Terminal& terminal, SaveTarget& target, const std::string& path);

}  // namespace tavlink::cli
