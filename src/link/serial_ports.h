#pragma once
// The serial devices of this machine: what `tavlink-cli ports` lists and
// what the port dialog offers for each COM choice.

#include <string>
#include <vector>

namespace tavlink {

struct SerialDeviceInfo {
  // The path to open: for a USB adapter its stable /dev/serial/by-id/...
  // name where the system has one (it survives replugging), else
  // "/dev/ttyUSB0"; on Windows "COM3".
  std::string path;
  std::string kernelName;   // "/dev/ttyUSB0", "COM3": the name the system gives it now
  std::string description;  // "FTDI FT232R USB UART", "16550A UART", or ""
  // USB adapters only, else empty.
  std::string manufacturer;  // "FTDI"
  std::string product;       // "FT232R USB UART"
  std::string vendorId;      // "0403", four hex digits
  std::string productId;     // "6001"
  std::string serialNumber;  // "A50285BI"
};

// What is known of a device beyond its name, as every listing shows it:
// "FTDI FT232R USB UART, 0403:6001, serial A50285BI", leaving out what is
// unknown; empty when nothing is.
std::string DeviceDetails(const SerialDeviceInfo& device);

// Devices that exist as hardware (or USB adapters), in name order.
std::vector<SerialDeviceInfo> ListSerialDevices();

}  // namespace tavlink
