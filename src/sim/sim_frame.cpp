#include "sim/sim_frame.h"

#include <algorithm>
#include <cstring>

#include "link/big_endian.h"
#include "link/crc32.h"

namespace tavlink::sim {

std::array<uint8_t, kFrameHeaderSize> EncodeCommandFrame(int code) {
  std::array<uint8_t, kFrameHeaderSize> frame{};
  std::memcpy(frame.data(), kFrameMagic, sizeof kFrameMagic);
  WriteBe16(frame.data() + 8, static_cast<uint16_t>(code));
  return frame;
}

std::vector<uint8_t> EncodeDataFrame(std::span<const uint8_t> payload, bool corruptCrc) {
  const size_t n = std::min(payload.size(), kMaxPayload);
  std::vector<uint8_t> frame(kFrameHeaderSize + n + 4);
  std::memcpy(frame.data(), kFrameMagic, sizeof kFrameMagic);
  WriteBe16(frame.data() + 8, FC_DATA);
  WriteBe16(frame.data() + 10, static_cast<uint16_t>(n + 4));
  std::copy_n(payload.begin(), n, frame.begin() + kFrameHeaderSize);
  uint32_t crc = Crc32(payload.data(), n);
  if (corruptCrc) crc = ~crc;
  WriteBe32(frame.data() + kFrameHeaderSize + n, crc);
  return frame;
}

FrameHeader DecodeHeader(const uint8_t* header) {
  FrameHeader result;
  result.magicOk = std::memcmp(header, kFrameMagic, sizeof kFrameMagic) == 0;
  result.code = ReadBe16(header + 8);
  result.length = ReadBe16(header + 10);
  return result;
}

bool BodyCrcMatches(std::span<const uint8_t> body) {
  if (body.size() < 4) return false;
  const size_t n = body.size() - 4;
  return Crc32(body.data(), n) == ReadBe32(body.data() + n);
}

}  // namespace tavlink::sim
