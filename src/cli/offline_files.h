#pragma once
// Input files of the commands: opening with the system's reason on failure,
// reading a data text or a block image (output files: see output_file.h).
// Every failure is reported on `terminal`'s standard error as
// "tavlink-cli: ..." here, so the commands only pass exit statuses on.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/terminal.h"
#include "data/receiver_data_block.h"
#include "files/input_file.h"

namespace tavlink::cli {

using FilePtr = StreamPtr;

// Opens `path` for reading (files/input_file.h), as a plain file whose
// length is left in *length: a folder, a device or a FIFO is refused before
// anything is done with it. On failure reports why and returns null.
FilePtr OpenPlainFile(Terminal& terminal, const std::string& path, uint64_t* length);

// Reads a data text file into `block`. Returns 0; kExitFailure when the
// reader refuses the text (its message printed exactly as the reader gives
// it, its result 1..9 left in *readerResult when given); or kExitUsage when
// the file cannot be opened or read.
int ReadDataTextFile(Terminal& terminal, const std::string& path, ReceiverDataBlock& block,
                     int* readerResult = nullptr);

// Reads a block image, which must be exactly 65,536 bytes and valid; reading
// stops one byte after that size, so an endless input ends too. Returns 0,
// kExitFailure for a wrong size or an invalid block, or kExitUsage when the
// file cannot be opened or read.
int ReadBlockFile(Terminal& terminal, const std::string& path, ReceiverDataBlock& block);

// Prints on standard error that a data text just saved as `path` will not
// read back, with the reader's message, when `text` (its bytes) does not.
void WarnIfTextDoesNotReadBack(Terminal& terminal, const std::string& path,
                               const std::string& text);

}  // namespace tavlink::cli
