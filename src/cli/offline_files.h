#pragma once
// File handling of the offline commands: opening with the system's reason on
// failure, reading a block image, and writing an output file all or nothing.
// Every failure is reported on standard error as "tavlink-cli: ..." here, so
// the commands only pass exit statuses on.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "data/receiver_data_block.h"

namespace tavlink::cli {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` in binary `mode`; on failure reports strerror and returns null.
FilePtr OpenFile(const std::string& path, const char* mode);

// Reads a data text file into `block`. Returns 0, the reader's result 1..9
// (its message printed exactly as the reader gives it), or kExitUsage when the
// file cannot be opened or read.
int ReadDataTextFile(const std::string& path, ReceiverDataBlock& block);

// Reads a block image, which must be exactly 65,536 bytes and valid. Returns
// 0, kExitFailure for a wrong size or an invalid block, or kExitUsage when the
// file cannot be opened or read.
int ReadBlockFile(const std::string& path, ReceiverDataBlock& block);

// Writes `path` through a temporary file in the same directory that is renamed
// into place only when `write` returned 0 and every write succeeded; otherwise
// the temporary file is removed and `path` is left as it was. `write` returns
// an exit status. Returns `write`'s status, or kExitUsage on an I/O error.
int WriteFileAtomically(const std::string& path, const std::function<int(std::FILE*)>& write);

}  // namespace tavlink::cli
