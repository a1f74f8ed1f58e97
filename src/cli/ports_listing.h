#pragma once
// What `tavlink-cli ports` prints: the machine's serial devices, where each
// port leads, and which port is stored as the one commands use without
// --port or --device; as text for people or as JSON for scripts.

#include <optional>
#include <string>
#include <vector>

#include "link/port_names.h"
#include "link/serial_ports.h"
#include "settings/setting_store.h"

namespace tavlink::cli {

struct PortLead {
  int portNumber = 1;
  ComDevice device;
};

struct PortsListing {
  std::vector<SerialDeviceInfo> devices;
  std::vector<PortLead> ports;    // COM1, COM2, then the stored port when it is another
  std::optional<int> storedPort;  // nothing when none is stored (or 0, "none chosen")
};

// Gathers the listing from `devices` and the stored settings.
PortsListing GatherPorts(std::vector<SerialDeviceInfo> devices, SettingStore& settings);

// For people:
//   Serial devices of this machine:
//     /dev/ttyUSB0  FTDI FT232R USB UART  0403:6001  serial A50285BI
//                   /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   COM1 opens /dev/ttyS0 (default)
//   COM2 opens /dev/ttyUSB0 (setting); the stored port, used without --port or --device
// A device's second line is the path it is opened by, when that is not its
// kernel name.
std::string PortsText(const PortsListing& listing);

// For scripts: one object with "storedPort" (a number or null), "ports"
// (per port "port", "name", "device", "source" - "environment", "setting"
// or "default" - "variable" and "stored") and "devices" (per device the
// fields of SerialDeviceInfo, null where unknown).
std::string PortsJson(const PortsListing& listing);

}  // namespace tavlink::cli
