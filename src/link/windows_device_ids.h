#pragma once
// What the names Windows gives a device tell about it: a device instance id
// or hardware id ("USB\VID_0403&PID_6001\A50285BI",
// "FTDIBUS\COMPORT&VID_0403&PID_6001") carries a USB device's vendor and
// product ids and, for a USB device's instance id, its serial number; a
// friendly name ends with the port ("USB Serial Port (COM3)"). Plain text
// work, no system calls.

#include <string>
#include <string_view>

namespace tavlink {

struct WindowsDeviceIds {
  std::string vendorId;      // "0403": four lower-case hex digits, or empty
  std::string productId;     // "6001"
  std::string serialNumber;  // "A50285BI", or empty
};

// The ids in `id` (any case). The serial number is taken only from the
// instance id of a USB device ("USB\VID_...&PID_...\<serial>"); Windows makes
// up a last part with '&' in it for a device without one, which is no serial
// number.
WindowsDeviceIds ParseWindowsDeviceId(std::string_view id);

// `friendlyName` without the " (COM3)" that Windows puts after it for port
// `portName`; the name as it is when it does not end so.
std::string WithoutPortSuffix(std::string_view friendlyName, std::string_view portName);

}  // namespace tavlink
