#pragma once
// The data text reader: turns a data text file into the receiver data block,
// checking every field, and stops at the first error with one message that
// names the line.
//
// Lines end with LF. Leading bytes 1-32 and 128-255 are skipped; the next
// character is the tag: none (blank) or '#' (comment) ignored; 'a' antenna
// ("%*s %d", -1..8, at most once); 's' satellite; 't' transponder of the
// satellite read last; 'v' TV or 'r' radio service. Tags are case-
// insensitive, keywords too. No antenna, satellite or transponder line may
// follow the first service line.

#include <array>
#include <cstdint>
#include <string_view>

#include "data/receiver_data_block.h"
#include "data/text_io.h"

namespace tavlink {

// Results of ReadDataText.
inline constexpr int kReadOk = 0;
inline constexpr int kReadSatelliteError = 1;
inline constexpr int kReadTransponderError = 2;
inline constexpr int kReadServiceError = 3;
inline constexpr int kReadInvalidTag = 4;
inline constexpr int kReadLineTooLong = 5;
inline constexpr int kReadAntennaError = 6;
inline constexpr int kReadAntennaAfterService = 7;
inline constexpr int kReadSatelliteAfterService = 8;
inline constexpr int kReadTransponderAfterService = 9;

class DataTextReader {
 public:
  static constexpr size_t kLineBufferSize = 1024;

  // The reader writes into `block`, which must outlive it. One read at a time.
  explicit DataTextReader(ReceiverDataBlock& block) : block_(block) {}
  DataTextReader(const DataTextReader&) = delete;
  DataTextReader& operator=(const DataTextReader&) = delete;

  // Reads the whole of `file` (opened and closed by the caller). Returns 0
  // when the block now holds the file's data and a valid header; otherwise a
  // result from 1 to 9 (see above) with its message in GetErrorText(). After
  // a failure the header is unchanged except antenna_config, which is -1; the
  // records written before the failing line stay in the tables. Only the
  // fields and bits that the data text names are written; reserved bytes,
  // kept bits and unused records keep their values.
  int ReadDataText(TextInput& file);

  // The message of the last failed read; empty after a successful one.
  const char* GetErrorText() const { return error_text_.data(); }

 private:
  enum class LineResult { kLine, kEndOfFile, kTooLong };

  LineResult ReadLine(TextInput& file);
  int ReadAntennaLine(std::string_view fromTag);
  // Each returns the new record's index, or a negative field error.
  int ParseSatelliteLine(std::string_view fromTag);
  int ParseTransponderLine(std::string_view fromTag, int satellite);
  int ParseServiceLine(std::string_view fromTag);

  ReceiverDataBlock& block_;
  std::array<char, kLineBufferSize> line_buffer_{};
  std::array<char, kLineBufferSize> error_text_{};

  // Working state of one read.
  int line_number_ = 1;
  int sat_count_ = 0;
  int tp_count_ = 0;
  int service_count_ = 0;
  int antenna_value_ = -1;
  bool antenna_seen_ = false;
  bool program_seen_ = false;
  int current_satellite_ = -1;
};

}  // namespace tavlink
