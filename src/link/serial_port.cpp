#include "link/serial_port.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "link/mode_string.h"

namespace tavlink {

SerialPort::SerialPort(std::unique_ptr<SerialDevice> device, Clock& clock, ErrorReporter& errors)
    : device_(std::move(device)), clock_(clock), errors_(errors) {}

SerialPort::~SerialPort() {
  if (initialized_) Shutdown();
}

int SerialPort::ReportFailure(const DeviceError& error) {
  if (gone_) return 0;  // its box has been shown; nothing new to tell
  errors_.ShowDeviceError(error);
  gone_ = error.kind == DeviceError::Kind::kGone;
  return 0;
}

int SerialPort::Initialize(int portNumber, uint32_t outputQueueSize, uint32_t inputQueueSize) {
  portNumber_ = portNumber;
  outputQueueSize_ = outputQueueSize;
  inputQueueSize_ = inputQueueSize;
  initialized_ = 1;
  return 1;
}

int SerialPort::SetMode(const std::string& mode) {
  if (!initialized_ || open_) return 0;
  const auto parsed = ParseModeString(mode);
  if (!parsed) return ReportFailure(DeviceError{EINVAL, std::strerror(EINVAL)});
  settings_.mode = mode;
  settings_.baudRate = parsed->baudRate;
  return 1;
}

void SerialPort::SetTimeout(uint32_t milliseconds) {
  timeout_ = milliseconds;
}

int SerialPort::SetDriverTimeouts(uint32_t readInterval, uint32_t readTotalMultiplier,
                                  uint32_t readTotalConstant, uint32_t writeTotalMultiplier,
                                  uint32_t writeTotalConstant) {
  settings_.timeouts = {readInterval, readTotalMultiplier, readTotalConstant, writeTotalMultiplier,
                        writeTotalConstant};
  return 1;
}

int SerialPort::Open(uint32_t baudRate) {
  if (open_ || !initialized_ || !device_) return 0;
  gone_ = false;  // a new try at the device, which may be back
  if (DeviceError e = device_->Open(portNumber_)) return ReportFailure(e);
  settings_.baudRate = baudRate;
  DeviceError e = device_->SetupQueues(inputQueueSize_, outputQueueSize_);
  if (!e) e = device_->Configure(settings_);
  if (e) {
    ReportFailure(e);
    device_->Close();  // so that the next try can have the device
    return 0;
  }
  open_ = 1;
  return 1;
}

int SerialPort::Read(void* buffer, uint32_t count, uint32_t* got) {
  *got = 0;
  if (count == 0) return 1;
  if (!open_ || !initialized_ || gone_) return 0;
  device_->ClearErrors();  // error flags are dropped, as the line's state is

  const uint32_t polls = timeout_ / kPollIntervalMs;
  if (polls == 0) return 1;  // a time-out under one poll reads nothing
  auto* bytes = static_cast<uint8_t*>(buffer);
  for (uint32_t poll = 0; poll < polls; ++poll) {
    size_t n = 0;
    if (DeviceError e = device_->ReadAvailable(bytes + *got, count - *got, &n))
      return ReportFailure(e);
    *got += static_cast<uint32_t>(n);
    if (*got == count) return 1;
    clock_.SleepFor(Clock::Duration(kPollIntervalMs));
  }
  return 0;
}

int SerialPort::Write(const void* buffer, uint32_t count, uint32_t* written) {
  *written = 0;
  if (!open_ || !initialized_ || gone_) return 0;
  size_t n = 0;
  bool timedOut = false;
  const DeviceError e = device_->Write(static_cast<const uint8_t*>(buffer), count,
                                       std::chrono::milliseconds(timeout_), &n, &timedOut);
  *written = static_cast<uint32_t>(n);
  if (e) return ReportFailure(e);
  return timedOut ? 0 : 1;
}

int SerialPort::Close() {
  if (!open_ || !initialized_) return 0;
  if (!gone_) device_->DiscardInput();  // output stays: what a write sent stays on the line
  open_ = 0;
  if (DeviceError e = device_->Close()) return ReportFailure(e);
  return 1;
}

void SerialPort::Shutdown() {
  if (open_) Close();
  initialized_ = 0;
}

}  // namespace tavlink
