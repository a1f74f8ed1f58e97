#pragma once
// The platform seam under SerialPort: one opened serial device. The POSIX
// backend (serial_device_posix.cpp) drives a tty, the Win32 backend
// (serial_device_win32.cpp) a COM device; tests substitute an in-memory line
// with a scripted receiver. No platform type appears here.
//
// Threading: one thread at a time, like the SerialPort that owns it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "link/device_error.h"

namespace tavlink {

// The driver time-outs of a Windows line (COMMTIMEOUTS), in milliseconds.
// This system's values (read interval 0xFFFFFFFF, all else 0) make every
// read return at once with what has arrived, which the POSIX backend does
// anyway.
struct DriverTimeouts {
  uint32_t readIntervalTimeout = 0;
  uint32_t readTotalTimeoutMultiplier = 0;
  uint32_t readTotalTimeoutConstant = 0;
  uint32_t writeTotalTimeoutMultiplier = 0;
  uint32_t writeTotalTimeoutConstant = 0;
};

// What the port asks of the line. Framing is always 8 data bits, no parity,
// one stop bit at `baudRate`; DTR and RTS are held off; no XON/XOFF in
// either direction; hardware flow control is left as the device had it.
// `mode` is the MODE string the port accepted ("96,n,8,1"), for a backend
// that builds its device settings from it before applying the above.
struct LineSettings {
  uint32_t baudRate = 115200;
  std::string mode;
  DriverTimeouts timeouts;
};

class SerialDevice {
 public:
  SerialDevice() = default;
  // A device owns its handle: it is never copied.
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;
  virtual ~SerialDevice() = default;

  // Opens the device for exclusive read and write access, as port
  // `portNumber` ("COM<n>", for messages; 0 for a device named directly,
  // which its messages name by its path alone). A device is never shared: a
  // second open fails. The opened device starts with nothing to read:
  // bytes that arrived before it opened are gone.
  virtual DeviceError Open(int portNumber) = 0;

  // Recommends driver queue sizes in bytes.
  virtual DeviceError SetupQueues(uint32_t inputBytes, uint32_t outputBytes) = 0;

  // Applies rate, the fixed framing and flow settings, and the time-outs.
  virtual DeviceError Configure(const LineSettings& settings) = 0;

  // Clears the device's error state (overrun, framing, parity flags).
  virtual DeviceError ClearErrors() = 0;

  // Copies up to `max` bytes that have already arrived into `buf` and
  // returns at once, possibly with none. `*got` is set in every case.
  //
  // Every call on the open device (read, write, discard, close) that finds
  // it gone (unplugged, hung up) fails with DeviceError::Kind::kGone.
  virtual DeviceError ReadAvailable(uint8_t* buf, size_t max, size_t* got) = 0;

  // Writes `count` bytes and waits until they have left the machine (the
  // driver's transmit queue is empty), at most `timeout` in all. `*written`
  // is what the driver took; `*timedOut` tells whether the wait ran out
  // before all were taken or sent (not an error). A write that returns
  // without `*timedOut` has put its bytes on the line, so closing the
  // device right after it loses nothing.
  virtual DeviceError Write(const uint8_t* buf, size_t count, std::chrono::milliseconds timeout,
                            size_t* written, bool* timedOut) = 0;

  // Discards the bytes that have arrived and were not read yet. Output is
  // never discarded: what was written still reaches the other side.
  virtual DeviceError DiscardInput() = 0;

  // Releases the device (and its exclusive claim). Bytes still on their way
  // out are not thrown away, except after a write that timed out: the line
  // is not moving then, and what is left of that write is discarded, so
  // that the close does not wait for it.
  virtual DeviceError Close() = 0;
};

// Makes a fresh, unopened device object of the platform's backend that
// opens `path` (a front end resolves COM<n> to a path: port_names.h). The
// port number given to Open only names the port in messages.
std::unique_ptr<SerialDevice> MakeSerialDeviceAt(const std::string& path);

}  // namespace tavlink
