// The serial devices of a Windows computer: its COM ports, as the serial
// drivers list them.
#include "link/com_ports_win32.h"
#include "link/serial_ports.h"

namespace tavlink {

std::vector<SerialDeviceInfo> ListSerialDevices() {
  std::vector<SerialDeviceInfo> devices;
  for (const std::string& name : ListComPorts()) {
    SerialDeviceInfo info;
    info.path = info.kernelName = name;
    devices.push_back(info);
  }
  return devices;
}

}  // namespace tavlink
