#pragma once
// Data texts on files, as every front end reads and saves them: reading an
// open data text into a block with the reader, the bytes to save for a
// block, and the check that a saved text reads back. Opening and saving
// files: input_file.h and save_target.h.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tavlink {

class ReceiverDataBlock;

// The outcome of reading a data text file into a block.
struct DataTextRead {
  int error = 0;        // errno of a failed read of the file; 0 when it was read
  int result = 0;       // the reader's result, 0 or 1..9, when the file was read
  std::string message;  // the reader's message for a result other than 0
};

// Reads the data text `text` (at its start) into `block` with the reader.
DataTextRead ReadDataTextFrom(std::FILE* text, ReceiverDataBlock& block);

// The data text to save for a block (the writer's bytes, each line ending
// in CR LF), or nothing when the block is not valid.
std::optional<std::string> DataTextToSave(const ReceiverDataBlock& block);

// The reader's message (its line and field) when it refuses `text`, the
// bytes of a data text as saved (CR LF line ends); empty when the text reads
// back. The writer puts out whatever a block holds (names with quotes or
// control bytes, an antenna value outside -1 to 8), and the reader refuses
// some of it, so a front end tells the technician at once rather than when
// the file is written back. Reads into a scratch block of its own.
std::string ReadBackError(std::string_view text);

}  // namespace tavlink
