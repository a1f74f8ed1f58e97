#pragma once
// SerialPort: the blocking serial line to the receiver.
//
// It offers blocking calls only: Read polls every 100 ms until exactly the
// asked number of bytes has arrived or the time-out's polls are used up;
// Write waits up to the time-out until the bytes have been sent. Every
// failing device call is shown to the user from inside the object (through
// the ErrorReporter, caption "Serial Communication Device Error"); callers
// see only non-zero for success and 0 for failure. Refusals because of the
// object's state (not initialised, not open, already open) return 0
// without a box.
//
// States: uninitialised -> (Initialize) -> initialised and closed
//         -> (Open) -> open -> (Close) -> initialised and closed.
//
// A device that has gone (unplugged, hung up: DeviceError::Kind::kGone)
// is shown once; from then on reads and writes fail at once without
// another box, until the next Open, and DeviceGone() tells callers
// that waiting for the receiver is pointless.
//
// Threading: no lock; one thread at a time. The transfer dialog opens it on
// the user-interface thread, the worker reads and writes (and may Close and
// Open again), and destruction happens after the worker has finished.

#include <cstdint>
#include <memory>
#include <string>

#include "link/clock.h"
#include "link/device_error.h"
#include "link/error_reporter.h"
#include "link/serial_device.h"

namespace tavlink {

class FrameTrace;

class SerialPort {
 public:
  static constexpr uint32_t kWaitForever = 0xFFFFFFFF;
  static constexpr uint32_t kDefaultBaudRate = 115200;
  static constexpr uint32_t kPollIntervalMs = 100;

  // `device` is the unopened backend this object drives; `clock` paces the
  // read polls; `errors` shows device failures. Clock and reporter must
  // outlive the object.
  SerialPort(std::unique_ptr<SerialDevice> device, Clock& clock, ErrorReporter& errors);
  virtual ~SerialPort();

  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Always 1. Stores the port number and queue sizes; does not touch the device.
  int Initialize(int portNumber, uint32_t outputQueueSize, uint32_t inputQueueSize);

  // Validates `mode` in the MODE syntax ("96,n,8,1", "baud=96 parity=n data=8
  // stop=1") and keeps it for the next Open. 0 without a box when not
  // initialised or already open; a refused string is a device error (box,
  // then 0).
  int SetMode(const std::string& mode);

  // Limit for every later Read and Write, in milliseconds.
  void SetTimeout(uint32_t milliseconds);

  // Always 1; applied at the next Open.
  int SetDriverTimeouts(uint32_t readInterval, uint32_t readTotalMultiplier,
                        uint32_t readTotalConstant, uint32_t writeTotalMultiplier,
                        uint32_t writeTotalConstant);

  // Opens "COM<n>" exclusively at `baudRate`, 8N1, DTR and RTS off, no
  // XON/XOFF, with the driver time-outs. 1 on success; 0 when not
  // initialised or already open (no box) or when a device call fails (box;
  // a device that opened is closed again).
  int Open(uint32_t baudRate = kDefaultBaudRate);

  // 1 when exactly `count` bytes arrived; 0 otherwise, with the bytes that
  // did arrive in `buffer` and counted in `*got` (they are consumed). A
  // count of 0 returns 1 in any state. A time-out under 100 ms returns
  // non-zero at once with nothing read.
  int Read(void* buffer, uint32_t count, uint32_t* got);

  // 1 when all `count` bytes have been sent on the line within the
  // time-out; 0 at the time-out's end when the line did not take them all
  // (no box), or at once after a device error. On success the bytes have
  // left the machine, so a Close right after cannot cut them off.
  int Write(const void* buffer, uint32_t count, uint32_t* written);

  // Discards unread input and closes; the object stays initialised. After a
  // Write that succeeded nothing is discarded: the last frame written still
  // reaches the receiver. After one that timed out, what is left of it is
  // discarded, so that the close is prompt on a line that does not move.
  // 0 without a box when not open.
  int Close();

  // Close when open, then back to uninitialised.
  void Shutdown();

  // True once a device call found the device gone (see above).
  bool DeviceGone() const { return gone_; }

  bool IsOpen() const { return open_ != 0; }
  bool IsInitialized() const { return initialized_ != 0; }

  // Optional observer of the frames sent and received on this port (the
  // command line's --trace). Not owned; null for none.
  void SetFrameTrace(FrameTrace* trace) { trace_ = trace; }
  FrameTrace* GetFrameTrace() const { return trace_; }

 private:
  // A device call failed: shows its error in the device box (unless the
  // device has gone and that was shown already), remembers a device that
  // has gone, and returns 0, the result of the operation that failed.
  int ReportFailure(const DeviceError& error);

  uint32_t outputQueueSize_ = 0;
  uint32_t inputQueueSize_ = 0;
  int portNumber_ = 0;
  LineSettings settings_;  // rate, mode string and driver time-outs for Open
  uint32_t timeout_ = kWaitForever;
  int initialized_ = 0;
  std::unique_ptr<SerialDevice> device_;
  int open_ = 0;
  bool gone_ = false;  // a device call found the device gone

  Clock& clock_;
  ErrorReporter& errors_;
  FrameTrace* trace_ = nullptr;
};

}  // namespace tavlink
