#pragma once
// A failed device call: the operating system's error code and its text,
// ready for the device error box. Code 0 means success.

#include <string>

namespace tavlink {

struct DeviceError {
  // What went wrong, as far as a front end's hint needs to know.
  enum class Kind { kOther, kNotFound, kAccessDenied, kBusy };

  int code = 0;      // the system's error number; 0 for success
  std::string text;  // the system's words for it, plus at most one hint line
  Kind kind = Kind::kOther;

  explicit operator bool() const { return code != 0; }
};

}  // namespace tavlink
