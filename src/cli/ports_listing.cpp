// The listing of `tavlink-cli ports`.
#include "cli/ports_listing.h"

#include <algorithm>

#include "cli/json_text.h"

namespace tavlink::cli {
namespace {

// The kernel names' column is at least this wide.
constexpr size_t kMinNameWidth = 14;

const char* SourceWord(ComDevice::Source source) {
  switch (source) {
    case ComDevice::Source::kEnvironment:
      return "environment";
    case ComDevice::Source::kSetting:
      return "setting";
    case ComDevice::Source::kDefault:
      break;
  }
  return "default";
}

}  // namespace

PortsListing GatherPorts(std::vector<SerialDeviceInfo> devices, SettingStore& settings) {
  PortsListing listing;
  listing.devices = std::move(devices);
  if (const auto stored = settings.ReadPort(); stored && *stored > 0) listing.storedPort = *stored;
  std::vector<int> ports{1, 2};
  if (listing.storedPort && *listing.storedPort > 2) ports.push_back(*listing.storedPort);
  for (int port : ports)
    listing.ports.push_back({port, ResolveComDevice(port, settings.ReadDevice(port))});
  return listing;
}

std::string PortsText(const PortsListing& listing) {
  std::string text = "Serial devices of this machine:\n";
  if (listing.devices.empty()) text += "  (none found)\n";
  size_t width = kMinNameWidth;
  for (const auto& device : listing.devices) width = std::max(width, device.kernelName.size() + 2);
  for (const auto& device : listing.devices) {
    std::string line = "  " + device.kernelName;
    const std::string details = DeviceDetails(device);
    if (!details.empty()) line += std::string(width - device.kernelName.size(), ' ') + details;
    text += line + "\n";
    if (device.path != device.kernelName) text += std::string(2 + width, ' ') + device.path + "\n";
  }
  for (const PortLead& lead : listing.ports) {
    text += PortLeadText(lead.portNumber, lead.device);
    if (listing.storedPort == lead.portNumber)
      text += "; the stored port, used without --port or --device";
    text += "\n";
  }
  if (!listing.storedPort)
    text +=
        "No port is stored: give --port N or --device PATH, or choose a port in the desktop "
        "tool's Setup Comm.\n";
  return text;
}

std::string PortsJson(const PortsListing& listing) {
  std::string json = "{\n  \"storedPort\": ";
  json += listing.storedPort ? std::to_string(*listing.storedPort) : "null";
  json += ",\n  \"ports\": [";
  for (size_t i = 0; i < listing.ports.size(); ++i) {
    const PortLead& lead = listing.ports[i];
    const bool environment = lead.device.source == ComDevice::Source::kEnvironment;
    json += (i == 0 ? "\n" : ",\n");
    json += "    {\"port\": " + std::to_string(lead.portNumber) +
            ", \"name\": " + JsonString(ComPortName(lead.portNumber)) +
            ", \"device\": " + JsonString(lead.device.path) +
            ", \"source\": " + JsonString(SourceWord(lead.device.source)) + ", \"variable\": " +
            (environment ? JsonString(ComEnvironmentName(lead.portNumber)) : "null") +
            ", \"stored\": " + (listing.storedPort == lead.portNumber ? "true" : "false") + "}";
  }
  json += listing.ports.empty() ? "],\n" : "\n  ],\n";
  json += "  \"devices\": [";
  for (size_t i = 0; i < listing.devices.size(); ++i) {
    const SerialDeviceInfo& d = listing.devices[i];
    json += (i == 0 ? "\n" : ",\n");
    json +=
        "    {\"path\": " + JsonString(d.path) + ", \"kernelName\": " + JsonString(d.kernelName) +
        ", \"description\": " + JsonOrNull(d.description) +
        ", \"manufacturer\": " + JsonOrNull(d.manufacturer) +
        ", \"product\": " + JsonOrNull(d.product) + ", \"vendorId\": " + JsonOrNull(d.vendorId) +
        ", \"productId\": " + JsonOrNull(d.productId) +
        ", \"serialNumber\": " + JsonOrNull(d.serialNumber) + "}";
  }
  json += listing.devices.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return json;
}

}  // namespace tavlink::cli
