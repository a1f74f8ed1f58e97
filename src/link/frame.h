#pragma once
// Frames on the line to the receiver. All numbers big-endian.
//
//   command frame: "EvilEyEs" | code:2 | length:2 = 0                    (12 bytes)
//   data frame:    "EvilEyEs" | 0x0030 | length:2 = n+4 | payload:n | crc32:4
//
// The CRC covers the payload only. A frame is recognised by its magic at the
// start of a 12-byte read; there is no resynchronisation.
//
// The operations keep no state; they are called from the worker thread that
// owns the open port, one at a time.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavlink {

class SerialPort;

inline constexpr char kFrameMagic[8] = {'E', 'v', 'i', 'l', 'E', 'y', 'E', 's'};
inline constexpr size_t kFrameHeaderSize = 12;
inline constexpr size_t kMaxPayload = 4096;
inline constexpr size_t kMaxBody = kMaxPayload + 4;                      // 4100
inline constexpr size_t kFrameBufferSize = kFrameHeaderSize + kMaxBody;  // 4112

// Frame codes (16-bit on the line).
enum FrameCode : int {
  FC_ACK = 0,
  FC_NAK = 1,
  FC_ABORT = 2,
  FC_READY = 4,
  FC_CONNECT = 16,
  FC_CONNECT_END = 17,
  FC_UPGRADE = 18,
  FC_UPGRADE_END = 19,
  FC_BACKUP = 20,
  FC_BACKUP_END = 21,
  FC_RESTORE = 22,
  FC_RESTORE_END = 23,
  FC_FACTORY = 30,
  FC_FACTORY_END = 31,
  FC_USERDATA = 32,
  FC_USERDATA_END = 33,
  FC_DATA = 48,
};

// The six requests that start an operation; each one's end code is one
// higher.
inline constexpr int kRequestCodes[] = {FC_CONNECT, FC_UPGRADE, FC_BACKUP,
                                        FC_RESTORE, FC_FACTORY, FC_USERDATA};

// Failure results of ReceiveFrame; every other result is a received code.
inline constexpr int RX_BAD_CRC = -2;
inline constexpr int RX_TIMEOUT = -4;
inline constexpr int RX_BAD_MAGIC = -5;

// "FC_ACK", "RX_TIMEOUT", ...; "code 0x1234" for a code outside the table.
std::string FrameCodeName(int code);

// Sends a command frame as twelve single-byte writes. Always 0; a failed
// write shows up as the next receive's time-out or odd answer.
int SendCode(SerialPort& port, int code);

// Sends a data frame carrying `n` (0..4096) payload bytes in one write. Always 0.
int SendData(SerialPort& port, const uint8_t* payload, size_t n);

// Reads one frame. Returns the code of a command frame (0..65535, not 48),
// FC_DATA with the payload copied to `destination` and its length stored in
// `*payloadLength` (either may be null), or RX_TIMEOUT, RX_BAD_MAGIC or
// RX_BAD_CRC; on those neither output is written. `destination` must hold
// 4096 bytes. A data frame whose length field is outside 4..4100 is read
// and dropped (bounded by the port's time-out) and gives RX_BAD_CRC.
int ReceiveFrame(SerialPort& port, uint8_t* destination, uint32_t* payloadLength);

// For a received data frame (header and body, `frameSize` bytes in all):
// 0 when its CRC matches, or when its length field is 4 or less so there is
// nothing to compare; -1 when it does not match.
int CheckDataFrame(const uint8_t* frame, size_t frameSize);

// Observer of frames on a port (for tracing). Called on the worker thread.
class FrameTrace {
 public:
  enum class Direction { kSent, kReceived };
  virtual ~FrameTrace() = default;
  // `code` is the frame code or, for a failed receive, its RX_ result;
  // `payloadLength` is -1 for command frames and failures.
  virtual void OnFrame(Direction direction, int code, long payloadLength,
                       std::string_view verdict) = 0;
};

}  // namespace tavlink
