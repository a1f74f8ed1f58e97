#pragma once
// Frames on the receiver's end of the line: reads and writes whole frames on
// the pty master, applies the requested faults, checks the PC's line
// settings on every frame that arrives, and traces each frame.
//
// Every wait is bounded by its time-out and ends early (kStopped) once
// `stop` is requested: at once while waiting for the PC, within about 50 ms
// while writing. A write ends early too when the PC starts sending, as a
// receiver stops talking to a PC that has moved on. An idle receiver sleeps
// in poll without waking up. One thread at a time.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/pty.h"
#include "sim/sim_log.h"
#include "sim/stop_signal.h"

namespace tavlink::sim {

// Faults and pacing applied on the line. Frame numbers count from 1; 0 is off.
struct LineFaults {
  long corruptFrame = 0;          // our data frame K goes out with a bad CRC, once
  long nakFrame = 0;              // the PC's data frame K is answered FC_NAK, once
  std::optional<long> dropAfter;  // after K frames from the PC, answer nothing more
  bool pace = false;              // write at 10 bits per byte of the PC's speed
  // Factory data is stored with the byte at this offset inverted (a
  // receiver that does not keep what it was sent); -1 for none.
  long alterStored = -1;
};

struct RxFrame {
  enum class Kind { kCommand, kData, kBadCrc, kBadMagic, kBadLength, kTimeout, kStopped };
  Kind kind = Kind::kTimeout;
  int code = 0;                  // command frames: the code; data frames: FC_DATA
  std::vector<uint8_t> payload;  // kData only
  bool nakRequested = false;     // kData chosen by LineFaults::nakFrame
};

class FrameChannel {
 public:
  // The pty, log and stop must outlive the channel.
  FrameChannel(const Pty& pty, SimLog& log, LineFaults faults, const StopSignal& stop);
  FrameChannel(const FrameChannel&) = delete;
  FrameChannel& operator=(const FrameChannel&) = delete;

  // Waits up to `timeout` for the start of a frame (nullopt: until stopped)
  // and reads it whole. A bad magic or an impossible length drains what is
  // pending. Once the receiver drops frames, everything is read and
  // discarded and the result is kTimeout or kStopped.
  RxFrame Receive(std::optional<std::chrono::milliseconds> timeout);

  // Send one frame; false when the line did not take it (time-out or stop),
  // or when the PC started sending before it was all out (interrupted()).
  // While dropping, nothing is sent and the result is true.
  bool SendCode(int code);
  bool SendData(std::span<const uint8_t> payload);

  // True when bytes from the PC wait to be read. The exchange is stop and
  // wait: while the receiver still has something to say, the PC sends only
  // when it has given the operation up (FC_ABORT, or its next request).
  bool PcIsSending() const;

  // The last send stopped (before its first byte, or between two) because
  // the PC is sending: nothing more of that frame went out.
  bool interrupted() const { return interrupted_; }

  // The speed frames from the PC are expected at from now on; `alsoAccepted`
  // (when not 0) is let through too.
  void ExpectBaud(uint32_t baud, uint32_t alsoAccepted = 0) {
    expectedBaud_ = baud;
    alsoAcceptedBaud_ = alsoAccepted;
  }

  // Reports the line rate the PC has set when it differs from the one noted
  // last ("the PC set the line to 19200 baud (was 115200)"), as a real
  // line's driver set it; the first rate seen is noted without a report.
  // Called for every frame from the PC and when a switch is seen.
  void NoteLineRate();

  bool stopped() const { return stop_.requested(); }
  const Pty& pty() const { return pty_; }
  SimLog& log() { return log_; }

 private:
  enum class Io { kOk, kTimeout, kStopped, kInterrupted };
  using Steady = std::chrono::steady_clock;

  Io ReadExact(uint8_t* buffer, size_t count, std::optional<Steady::time_point> deadline,
               size_t* got);
  Io WriteAll(const uint8_t* data, size_t count);
  RxFrame ReadBody(int code, size_t length);
  RxFrame Discard(std::optional<Steady::time_point> deadline);
  void Drain();
  void CheckLine(int code);

  const Pty& pty_;
  SimLog& log_;
  LineFaults faults_;
  const StopSignal& stop_;
  uint32_t expectedBaud_ = 115200;
  uint32_t alsoAcceptedBaud_ = 0;
  uint32_t notedBaud_ = 0;  // 0: none noted yet
  long framesReceived_ = 0;
  long dataReceived_ = 0;
  long dataSent_ = 0;
  bool dropping_ = false;
  bool interrupted_ = false;
};

}  // namespace tavlink::sim
