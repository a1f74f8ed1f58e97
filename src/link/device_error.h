#pragma once
// A failed device call: the operating system's error code and its text,
// ready for the device error box. Code 0 means success.

#include <string>

namespace tavlink {

struct DeviceError {
  // What went wrong, as far as a front end's hint and the serial port need
  // to know. kGone: the open device has gone away (an unplugged USB
  // adapter, a line whose other end has hung up); every later call on it
  // fails the same way.
  enum class Kind { kOther, kNotFound, kAccessDenied, kBusy, kGone };

  int code = 0;      // the system's error number; 0 for success
  std::string text;  // the system's words for it, plus at most one hint line
  Kind kind = Kind::kOther;

  explicit operator bool() const { return code != 0; }
};

// When a device call failed, which decides what its code means (the same
// code may say "busy" while opening and "gone" once the device is open).
enum class DeviceStage {
  kOpening,  // opening the device and setting it up
  kInUse,    // reading, writing, flushing or closing the open device
};

}  // namespace tavlink
