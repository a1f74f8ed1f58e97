// What every platform's device listing shares.
#include "link/serial_ports.h"

namespace tavlink {

std::string DeviceDetails(const SerialDeviceInfo& device) {
  std::string details;
  const auto add = [&details](const std::string& part) {
    if (!part.empty()) details += (details.empty() ? "" : ", ") + part;
  };
  add(device.description);
  if (!device.vendorId.empty()) add(device.vendorId + ":" + device.productId);
  if (!device.serialNumber.empty()) add("serial " + device.serialNumber);
  return details;
}

}  // namespace tavlink
