#include "link/port_names.h"

#include <cstdlib>

namespace tavlink {

std::string ComPortName(int portNumber) {
  return "COM" + std::to_string(portNumber);
}

std::string ComEnvironmentName(int portNumber) {
  return "TAVLINK_COM" + std::to_string(portNumber);
}

ComDevice ResolveComDevice(int portNumber, const std::optional<std::string>& setting) {
  const char* value = std::getenv(ComEnvironmentName(portNumber).c_str());
  if (value != nullptr && *value != '\0') return {value, ComDevice::Source::kEnvironment};
  if (setting && !setting->empty()) return {*setting, ComDevice::Source::kSetting};
  return {DefaultComDevicePath(portNumber), ComDevice::Source::kDefault};
}

std::string DescribeSource(int portNumber, ComDevice::Source source) {
  switch (source) {
    case ComDevice::Source::kEnvironment:
      return "environment " + ComEnvironmentName(portNumber);
    case ComDevice::Source::kSetting:
      return "setting";
    case ComDevice::Source::kDefault:
      break;
  }
  return "default";
}

std::string DeviceAndSource(int portNumber, const ComDevice& device) {
  return device.path + " (" + DescribeSource(portNumber, device.source) + ")";
}

std::string PortLeadText(int portNumber, const ComDevice& device) {
  return ComPortName(portNumber) + " opens " + DeviceAndSource(portNumber, device);
}

}  // namespace tavlink
