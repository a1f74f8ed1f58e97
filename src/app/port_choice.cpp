// The device lists of the port dialog.
#include "app/port_choice.h"

#include <algorithm>

namespace tavlink {
namespace {

// The listed device that `path` names, by its path or its kernel name.
const SerialDeviceInfo* Find(const std::vector<SerialDeviceInfo>& devices,
                             const std::string& path) {
  const auto it = std::find_if(devices.begin(), devices.end(), [&](const SerialDeviceInfo& d) {
    return d.path == path || d.kernelName == path;
  });
  return it == devices.end() ? nullptr : &*it;
}

// The entry text of `path`, with what the listing knows of it and `note`
// in brackets ("default").
std::string EntryText(const std::vector<SerialDeviceInfo>& devices, const std::string& path,
                      const std::string& note) {
  const SerialDeviceInfo* device = Find(devices, path);
  std::string text = device != nullptr ? DeviceText(path, *device) : path;
  if (!note.empty()) text += " (" + note + ")";
  return text;
}

}  // namespace

std::string DeviceText(const std::string& path, const SerialDeviceInfo& device) {
  const std::string details = DeviceDetails(device);
  return details.empty() ? path : path + ": " + details;
}

const DeviceOption* OptionAt(const PortDevices& devices, std::ptrdiff_t index) {
  if (index < 0 || static_cast<size_t>(index) >= devices.options.size()) return nullptr;
  return &devices.options[static_cast<size_t>(index)];
}

std::optional<std::string> TypedDevice(const PortDevices& devices, const DeviceField& field) {
  if (devices.fixed) return std::nullopt;
  const size_t first = field.text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const DeviceOption* shown = OptionAt(devices, field.index);
  if (shown != nullptr && shown->text == field.text) return std::nullopt;
  const size_t last = field.text.find_last_not_of(" \t");
  return field.text.substr(first, last - first + 1);
}

std::string TypedDeviceProblem(const PortDialogOffer& offer,
                               const std::array<DeviceField, 2>& fields) {
  for (int port : {1, 2}) {
    const std::optional<std::string> typed = TypedDevice(offer.devices[port - 1], fields[port - 1]);
    if (!typed) continue;
    if (const std::string problem = DevicePathProblem(*typed); !problem.empty())
      return ComPortName(port) + ": " + *typed + ": " + problem;
  }
  return {};
}

PortChoice ChoiceFrom(const PortDialogOffer& offer, int checkedPort,
                      const std::array<DeviceField, 2>& fields) {
  PortChoice choice;
  choice.port = checkedPort == 1 ? 1 : 2;
  for (size_t n = 0; n < 2; ++n) {
    if (offer.devices[n].fixed) continue;
    if (std::optional<std::string> typed = TypedDevice(offer.devices[n], fields[n])) {
      choice.devices[n] = std::move(*typed);
      continue;
    }
    if (const DeviceOption* option = OptionAt(offer.devices[n], fields[n].index))
      choice.devices[n] = option->device.path;
  }
  return choice;
}

PortDevices OfferDevices(int portNumber, const ComDevice& leadsTo,
                         const std::vector<SerialDeviceInfo>& devices) {
  PortDevices offer;
  if (leadsTo.source == ComDevice::Source::kEnvironment) {
    offer.options.push_back(
        {leadsTo, EntryText(devices, leadsTo.path, DescribeSource(portNumber, leadsTo.source))});
    offer.fixed = true;
    return offer;
  }
  const std::string own = DefaultComDevicePath(portNumber);
  offer.options.push_back({{own, ComDevice::Source::kDefault}, EntryText(devices, own, "default")});
  for (const SerialDeviceInfo& device : devices) {
    if (device.path == own || device.kernelName == own) continue;
    // A USB adapter shows the name it has now; its entry keeps the by-id
    // path, which survives replugging.
    offer.options.push_back(
        {{device.path, ComDevice::Source::kSetting}, DeviceText(device.kernelName, device)});
  }
  if (leadsTo.source == ComDevice::Source::kDefault) return offer;
  const auto same =
      std::find_if(offer.options.begin(), offer.options.end(),
                   [&](const DeviceOption& o) { return o.device.path == leadsTo.path; });
  if (same != offer.options.end()) {
    offer.current = static_cast<size_t>(same - offer.options.begin());
    return offer;
  }
  // A stored device that is missing now stays on offer, so that OK on the
  // other port does not lose it.
  const bool found = Find(devices, leadsTo.path) != nullptr;
  offer.options.push_back({leadsTo, EntryText(devices, leadsTo.path, found ? "" : "not found")});
  offer.current = offer.options.size() - 1;
  return offer;
}

}  // namespace tavlink
