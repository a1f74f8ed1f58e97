#pragma once
// Where a session reaches its receiver, and the composition of one session
// on it: the line's device, the clock of its pauses and polls, the device
// error box with the line's hint, and an optional frame observer. Every
// front end runs its sessions through RunSession.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/clock.h"
#include "link/error_reporter.h"
#include "link/frame.h"
#include "link/port_names.h"
#include "link/serial_device.h"
#include "transfer/transfer_runner.h"

namespace tavlink {

// The serial line a session talks on: port n and the device it leads to,
// or a device named directly.
struct ReceiverLine {
  int portNumber = 0;        // names the port in the device's messages ("COM1"); 0: none
  std::string devicePath;    // what the session opens
  std::string description;   // "COM1 (/dev/ttyUSB0)", or the device path: where it talks
  std::string shortName;     // "COM1", or the device path: how rows and records name it
  std::string notFoundHint;  // added under the error of a device that does not exist
  bool byPort = false;       // chosen as a COM port rather than as a device

  // Port n, which leads to `device`; `advice` tells how this front end
  // chooses another ("choose the port and its device in Setup Comm.").
  static ReceiverLine OfPort(int portNumber, const ComDevice& device, std::string_view advice);
  // The device `path`, named directly.
  static ReceiverLine OfDevice(const std::string& path);
};

// What a session needs besides its line and its window. Both must outlive
// the session; `trace` may be null. `makeDevice` makes the unopened device
// at a line's path; without it, the platform's (MakeSerialDeviceAt).
struct SessionSetup {
  Clock& clock;
  ErrorReporter& errors;
  FrameTrace* trace = nullptr;
  std::function<std::unique_ptr<SerialDevice>(const std::string& path)> makeDevice = nullptr;
};

// Runs `request` on `line` (its port number is the line's) in `view`, and
// returns how it ended once its worker has finished and its port is closed.
TransferOutcome RunSession(TransferView& view, const ReceiverLine& line, const SessionSetup& setup,
                           TransferRequest request);

}  // namespace tavlink
