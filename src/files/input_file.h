#pragma once
// An input file of a command (a ROM image, a data text, a backup, a block
// image), opened for reading in binary mode and held for the command's
// duration with a shared lock: other readers may read it too, but a program
// that writes it (and locks it, as this tool does) waits its turn.
//
// Threading: one thread at a time; the stream is closed with the object.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace tavlink {

struct StreamCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using StreamPtr = std::unique_ptr<std::FILE, StreamCloser>;

struct InputFile {
  StreamPtr stream;     // at the file's start
  uint64_t length = 0;  // in bytes
};

// Opens the plain file `path`. Nothing, with `*error` set (an errno value,
// or kErrorNotPlainFile for a device or FIFO, kErrorInUse while a writer
// holds it), when it cannot be opened; a folder gives EISDIR.
std::optional<InputFile> OpenInputFile(const std::string& path, int* error);

}  // namespace tavlink
