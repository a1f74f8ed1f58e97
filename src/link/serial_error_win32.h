#pragma once
// The Windows serial backend's one mapping from a system error code to what
// the device box shows and what kind of failure it is (in
// serial_device_win32.cpp).

#include <string>

#include "link/device_error.h"

namespace tavlink {

// `code` (a GetLastError value) from a call at `stage` on the device `path`
// of port `port` ("COM<n>"). While opening, ERROR_FILE_NOT_FOUND and
// ERROR_PATH_NOT_FOUND say there is no such port (the words list the ports
// there are), ERROR_ACCESS_DENIED and ERROR_SHARING_VIOLATION that another
// program has it. On the open device, ERROR_BAD_COMMAND,
// ERROR_DEVICE_REMOVED, ERROR_DEVICE_NOT_CONNECTED and ERROR_ACCESS_DENIED
// (what an unplugged USB adapter answers) say that it has gone. Code 0
// stands for a failure that left no code (ERROR_OPEN_FAILED).
DeviceError Win32DeviceError(unsigned long code, DeviceStage stage, const std::string& port,
                             const std::string& path);

}  // namespace tavlink
