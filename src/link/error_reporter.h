#pragma once
// The error-box seam of the serial link. The serial port shows each device
// failure to the user itself; how (a modal box, a line on standard error, a
// record in a test) is the front end's business.

#include <string_view>

#include "link/device_error.h"

namespace tavlink {

inline constexpr std::string_view kDeviceErrorCaption = "Serial Communication Device Error";

class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;

  // Shows `text` under `caption` with an OK button and an information icon,
  // and returns when the user has dismissed it. May be called from the
  // worker thread; implementations must be thread-safe.
  virtual void ShowError(std::string_view caption, std::string_view text) = 0;

  // A failed device call, under kDeviceErrorCaption: the system's words for
  // it. A front end may add a hint of its own (how it chose the device).
  virtual void ShowDeviceError(const DeviceError& error) {
    ShowError(kDeviceErrorCaption, error.text);
  }
};

}  // namespace tavlink
