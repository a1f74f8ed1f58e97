#pragma once
// The ROM image an upgrade sends:
//
//   0   "ZOR Digital Satellite Receiver ROM image" (40 bytes, no terminator)
//   40  2 bytes, read with the signature, neither checked nor sent
//   42  the image body, which the upgrade sends from here
//
// and the check every front end makes before anything is sent.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace tavlink {

inline constexpr std::string_view ROM_SIGNATURE = "ZOR Digital Satellite Receiver ROM image";
inline constexpr size_t kRomHeaderSize = 42;

// The largest ROM image an upgrade can send: it announces the image length
// and counts its 4,080-byte blocks, (length - 10) / 4080 rounded up, in 32
// bits, so a longer file would send a wrong length and block total.
inline constexpr uint64_t kMaxRomImageSize = 0xFFFFFFFFu - (4080u - 11u);

// True when `header` holds a whole header (`got` bytes were read) that
// begins with the signature, compared case-sensitively.
bool IsRomImageHeader(const uint8_t* header, size_t got);

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

}  // namespace tavlink
