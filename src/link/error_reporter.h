#pragma once
// The error-box seam of the serial link. The serial port shows each device
// failure to the user itself; how (a modal box, a line on standard error, a
// record in a test) is the front end's business.

#include <string>
#include <string_view>
#include <utility>

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

// Passes everything on to `inner`, adding `notFoundHint` as one more line
// under the error of a device that does not exist: how the front end came
// to that device, and how to choose another. `inner` must outlive it.
class DeviceHintReporter final : public ErrorReporter {
 public:
  DeviceHintReporter(ErrorReporter& inner, std::string notFoundHint)
      : inner_(inner), hint_(std::move(notFoundHint)) {}

  void ShowError(std::string_view caption, std::string_view text) override {
    inner_.ShowError(caption, text);
  }
  void ShowDeviceError(const DeviceError& error) override {
    if (error.kind != DeviceError::Kind::kNotFound || hint_.empty())
      return inner_.ShowDeviceError(error);
    DeviceError hinted = error;
    hinted.text += "\n" + hint_;
    inner_.ShowDeviceError(hinted);
  }

 private:
  ErrorReporter& inner_;
  std::string hint_;
};

}  // namespace tavlink
