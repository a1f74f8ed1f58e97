#include "link/frame.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "link/big_endian.h"
#include "link/crc32.h"
#include "link/serial_port.h"

namespace tavlink {
namespace {

void Trace(SerialPort& port, FrameTrace::Direction d, int code, long length,
           std::string_view verdict) {
  if (FrameTrace* t = port.GetFrameTrace()) t->OnFrame(d, code, length, verdict);
}

// Reads and drops `length` announced bytes of a frame that cannot be taken,
// in pieces, each bounded by the port's time-out. False when they did not
// all arrive.
bool Drain(SerialPort& port, uint32_t length, uint8_t* scratch, size_t scratchSize) {
  while (length > 0) {
    const uint32_t piece = static_cast<uint32_t>(std::min<size_t>(length, scratchSize));
    uint32_t got = 0;
    if (!port.Read(scratch, piece, &got) || got != piece) return false;
    length -= piece;
  }
  return true;
}

}  // namespace

std::string FrameCodeName(int code) {
  switch (code) {
    case FC_ACK:
      return "FC_ACK";
    case FC_NAK:
      return "FC_NAK";
    case FC_ABORT:
      return "FC_ABORT";
    case FC_READY:
      return "FC_READY";
    case FC_CONNECT:
      return "FC_CONNECT";
    case FC_CONNECT_END:
      return "FC_CONNECT_END";
    case FC_UPGRADE:
      return "FC_UPGRADE";
    case FC_UPGRADE_END:
      return "FC_UPGRADE_END";
    case FC_BACKUP:
      return "FC_BACKUP";
    case FC_BACKUP_END:
      return "FC_BACKUP_END";
    case FC_RESTORE:
      return "FC_RESTORE";
    case FC_RESTORE_END:
      return "FC_RESTORE_END";
    case FC_FACTORY:
      return "FC_FACTORY";
    case FC_FACTORY_END:
      return "FC_FACTORY_END";
    case FC_USERDATA:
      return "FC_USERDATA";
    case FC_USERDATA_END:
      return "FC_USERDATA_END";
    case FC_DATA:
      return "FC_DATA";
    case RX_BAD_CRC:
      return "RX_BAD_CRC";
    case RX_TIMEOUT:
      return "RX_TIMEOUT";
    case RX_BAD_MAGIC:
      return "RX_BAD_MAGIC";
    default: {
      char text[24];
      std::snprintf(text, sizeof text, "code 0x%04X", static_cast<unsigned>(code) & 0xFFFFu);
      return text;
    }
  }
}

int SendCode(SerialPort& port, int code) {
  uint8_t frame[kFrameHeaderSize];
  std::memcpy(frame, kFrameMagic, sizeof kFrameMagic);
  WriteBe16(frame + 8, static_cast<uint16_t>(code));
  WriteBe16(frame + 10, 0);
  // The receiver takes command frames byte by byte.
  for (size_t i = 0; i < kFrameHeaderSize; ++i) {
    uint32_t written = 0;
    port.Write(frame + i, 1, &written);
  }
  Trace(port, FrameTrace::Direction::kSent, code & 0xFFFF, -1, "");
  return 0;
}

int SendData(SerialPort& port, const uint8_t* payload, size_t n) {
  if (n > kMaxPayload) n = kMaxPayload;  // callers never send more; never overrun
  std::array<uint8_t, kFrameBufferSize> frame;
  const uint32_t crc = Crc32(payload, n);
  std::memcpy(frame.data(), kFrameMagic, sizeof kFrameMagic);
  WriteBe16(frame.data() + 8, FC_DATA);
  WriteBe16(frame.data() + 10, static_cast<uint16_t>(n + 4));
  if (n > 0) std::memcpy(frame.data() + kFrameHeaderSize, payload, n);
  WriteBe32(frame.data() + kFrameHeaderSize + n, crc);
  uint32_t written = 0;
  port.Write(frame.data(), static_cast<uint32_t>(kFrameHeaderSize + n + 4), &written);
  Trace(port, FrameTrace::Direction::kSent, FC_DATA, static_cast<long>(n), "");
  return 0;
}

int CheckDataFrame(const uint8_t* frame, size_t frameSize) {
  const uint32_t length = ReadBe16(frame + 10);
  if (length <= 4) return 0;
  if (frameSize < kFrameHeaderSize + length) return -1;
  const uint8_t* body = frame + kFrameHeaderSize;
  const uint32_t expected = ReadBe32(body + length - 4);
  return Crc32(body, length - 4) == expected ? 0 : -1;
}

int ReceiveFrame(SerialPort& port, uint8_t* destination, uint32_t* payloadLength) {
  using D = FrameTrace::Direction;
  std::array<uint8_t, kFrameBufferSize> frame;
  uint32_t got = 0;
  if (!port.Read(frame.data(), kFrameHeaderSize, &got) || got != kFrameHeaderSize) {
    Trace(port, D::kReceived, RX_TIMEOUT, -1, got ? "header incomplete" : "no answer");
    return RX_TIMEOUT;
  }
  if (std::memcmp(frame.data(), kFrameMagic, sizeof kFrameMagic) != 0) {
    Trace(port, D::kReceived, RX_BAD_MAGIC, -1, "bad magic");
    return RX_BAD_MAGIC;
  }
  const int code = static_cast<int>(ReadBe16(frame.data() + 8));
  if (code != FC_DATA) {
    Trace(port, D::kReceived, code, -1, "");
    return code;
  }

  const uint32_t length = ReadBe16(frame.data() + 10);
  if (length < 4 || length > kMaxBody) {
    // No room for a CRC, or more than the body buffer holds: take the
    // announced bytes off the line so the next frame starts clean.
    const bool drained = Drain(port, length, frame.data() + kFrameHeaderSize, kMaxBody);
    Trace(port, D::kReceived, drained ? RX_BAD_CRC : RX_TIMEOUT, -1,
          "length field " + std::to_string(length) + " refused");
    return drained ? RX_BAD_CRC : RX_TIMEOUT;
  }
  got = 0;
  if (!port.Read(frame.data() + kFrameHeaderSize, length, &got) || got != length) {
    Trace(port, D::kReceived, RX_TIMEOUT, -1, "body incomplete");
    return RX_TIMEOUT;
  }
  if (CheckDataFrame(frame.data(), kFrameHeaderSize + length) != 0) {
    Trace(port, D::kReceived, RX_BAD_CRC, static_cast<long>(length - 4), "crc bad");
    return RX_BAD_CRC;
  }
  const uint32_t n = length - 4;
  if (destination && n > 0) std::memcpy(destination, frame.data() + kFrameHeaderSize, n);
  if (payloadLength) *payloadLength = n;
  Trace(port, D::kReceived, FC_DATA, static_cast<long>(n), "crc ok");
  return FC_DATA;
}

}  // namespace tavlink
