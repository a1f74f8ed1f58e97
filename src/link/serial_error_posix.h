#pragma once
// The POSIX serial backend's one mapping from errno to what the device box
// shows and what kind of failure it is (in serial_device_posix.cpp).

#include <string>

#include "link/device_error.h"

namespace tavlink {

// `err` from a call at `stage` on the device `path` of port `portNumber`
// (COM<n>, for the words). While opening, ENOENT, ENODEV and ENXIO say that
// there is no such device; on the open device, EIO, ENXIO and ENODEV say
// that it has gone.
DeviceError PosixDeviceError(int err, DeviceStage stage, int portNumber, const std::string& path);

}  // namespace tavlink
