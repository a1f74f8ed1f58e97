#pragma once
// The receiver's side of the frame format, as pure byte functions:
//
//   command frame: "EvilEyEs" | code:2 | length:2 = 0                 (12 bytes)
//   data frame:    "EvilEyEs" | 0x0030 | length:2 = n+4 | payload:n | crc32:4
//
// All numbers big-endian; the CRC covers the payload only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "link/frame.h"

namespace tavlink::sim {

// Length-field bounds this receiver accepts for a data frame (payload 0..4096).
inline constexpr size_t kMinDataLength = 4;
inline constexpr size_t kMaxDataLength = kMaxBody;

// The 12 bytes of a command frame carrying the low 16 bits of `code`.
std::array<uint8_t, kFrameHeaderSize> EncodeCommandFrame(int code);

// A whole data frame for `payload` (at most kMaxPayload bytes). With
// `corruptCrc` the CRC field is inverted, so the far end must reject it.
std::vector<uint8_t> EncodeDataFrame(std::span<const uint8_t> payload, bool corruptCrc = false);

// What a 12-byte header says. `length` is meaningful for data frames only.
struct FrameHeader {
  bool magicOk = false;
  int code = 0;
  size_t length = 0;
};

// Reads a header; `header` holds at least kFrameHeaderSize bytes.
FrameHeader DecodeHeader(const uint8_t* header);

// True when the last 4 bytes of `body` (the L bytes after a data frame's
// header, L >= 4) hold the big-endian CRC-32 of the bytes before them.
bool BodyCrcMatches(std::span<const uint8_t> body);

}  // namespace tavlink::sim
