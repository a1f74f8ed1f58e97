#pragma once
// What every front end's file side of the operations shares: the ROM image
// check, reading a data text into a block, the text to save for a received
// block, the layout of the connect answer, and the application messages the
// user sees around a transfer. Opening and saving files: input_file.h and
// save_target.h.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavlink {

// A ROM image begins with a 42-byte header whose first 40 bytes are this
// signature, compared case-sensitively; the body follows from byte 42.
inline constexpr std::string_view ROM_SIGNATURE = "ZOR Digital Satellite Receiver ROM image";
inline constexpr size_t kRomHeaderSize = 42;

// True when `header` holds a whole header (`got` bytes were read) that
// begins with the signature.
inline bool IsRomImageHeader(const uint8_t* header, size_t got) {
  return got >= kRomHeaderSize &&
         std::memcmp(header, ROM_SIGNATURE.data(), ROM_SIGNATURE.size()) == 0;
}

// The largest ROM image an upgrade can send: it announces the image length
// and counts its 4,080-byte blocks, (length - 10) / 4080 rounded up, in 32
// bits, so a longer file would send a wrong length and block total.
inline constexpr uint64_t kMaxRomImageSize = 0xFFFFFFFFu - (4080u - 11u);

// The connect answer area: byte 0 non-zero means connected; the hardware and
// software version texts lie in 32-byte fields.
inline constexpr size_t kAnswerSize = 100;
inline constexpr size_t kHardwareVersionAt = 32;
inline constexpr size_t kSoftwareVersionAt = 64;
inline constexpr size_t kVersionFieldSize = 32;

// A version field's text: the characters before its first zero byte, never
// more than the field's 32.
inline std::string VersionText(std::span<const uint8_t> answer, size_t at) {
  const auto field = answer.subspan(at, kVersionFieldSize);
  return std::string(field.begin(), std::find(field.begin(), field.end(), uint8_t{0}));
}

// The outcome of checking a ROM image opened for reading.
enum class RomCheck {
  kGood,        // the image is left at byte 42, where the upgrade sends from
  kUnreadable,  // its header could not be read: see the error
  kWrongImage,  // shorter than its header, or another signature
  kTooLong,     // longer than kMaxRomImageSize
};

// Reads the header of `image` (at its start, `length` bytes long) and checks
// it. *error is the errno of a failed read (kUnreadable), else 0.
RomCheck CheckRomImage(std::FILE* image, uint64_t length, int* error);

class ReceiverDataBlock;

// The outcome of reading a data text file into a block.
struct DataTextRead {
  int error = 0;        // errno of a failed read of the file; 0 when it was read
  int result = 0;       // the reader's result, 0 or 1..9, when the file was read
  std::string message;  // the reader's message for a result other than 0
};

// Reads the data text `text` (at its start) into `block` with the reader.
DataTextRead ReadDataTextFrom(std::FILE* text, ReceiverDataBlock& block);

// The data text to save for a block received from the receiver (the
// writer's bytes, each line ending in CR LF), or nothing when the block is
// not valid, which the caller reports as kFactoryDataNotValid.
std::optional<std::string> DataTextToSave(const ReceiverDataBlock& block);

// The application message boxes of the file commands.
inline constexpr std::string_view kWrongRomImage = "\n  Wrong ROM image.     \n\n  Retry.";
inline constexpr std::string_view kTurnOffReceiver = "\n  Please turn off your receiver.    \n";
inline constexpr std::string_view kFactoryDataNotValid =
    "\n Factory data of the receiver is not valid. ";

}  // namespace tavlink
