#pragma once
// The Linux side of ListSerialDevices, with the folders it reads passed in
// so that a copy of them (a fixture tree) can stand in for the system's.

#include <filesystem>
#include <vector>

#include "link/serial_ports.h"

namespace tavlink {

// Where the kernel and udev describe the serial devices.
struct SerialDeviceRoots {
  std::filesystem::path sys = "/sys";                // sysfs: class/tty/<name>/device, ...
  std::filesystem::path byId = "/dev/serial/by-id";  // udev's stable links to USB ttys
};

// The serial devices under `roots`, sorted by kernel name with numbers in
// numeric order (ttyUSB2 before ttyUSB10). A tty counts when it is backed
// by a device, except a legacy port with no UART behind it (type 0). A tty
// below a USB device gets that device's strings and ids, and as its path
// the link in `roots.byId` that leads to it, when there is one. Texts read
// from sysfs keep their first line, without trailing blanks, with control
// characters replaced by '?'. Folders that are missing give no devices.
std::vector<SerialDeviceInfo> ListSerialDevicesUnder(const SerialDeviceRoots& roots);

}  // namespace tavlink
