#pragma once
// The serial devices of this machine, for `tavlink-cli ports`.

#include <string>
#include <vector>

namespace tavlink::cli {

struct SerialDeviceInfo {
  std::string path;         // "/dev/ttyUSB0"
  std::string description;  // "FTDI FT232R USB UART", "16550A UART", or ""
};

// Devices that exist as hardware (or USB adapters), in name order.
std::vector<SerialDeviceInfo> ListSerialDevices();

}  // namespace tavlink::cli
