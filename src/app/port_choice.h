#pragma once
// What the port dialog offers and what it hands back, without a toolkit.
// Besides the choice of COM1 or COM2, each of the two ports may lead to any
// serial device of the machine: the dialog offers, per port, the devices
// it may open, the platform's own device first.
//
// Threading: user-interface thread only.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "link/port_names.h"
#include "link/serial_ports.h"

namespace tavlink {

// One entry of a port's device list.
struct DeviceOption {
  // The path the port opens with this entry, and why: kDefault for the
  // platform's own device, kSetting for any other, kEnvironment for the
  // device TAVLINK_COM<n> names.
  ComDevice device;
  // What the entry shows: "/dev/ttyUSB0: FTDI FT232R USB UART, 0403:6001,
  // serial A50285BI". The path of a USB adapter's entry is its by-id name.
  std::string text;
};

// The device list of one port.
struct PortDevices {
  std::vector<DeviceOption> options;  // never empty once offered
  size_t current = 0;                 // the entry the port leads to now
  // TAVLINK_COM<n> names the device: the one entry, shown but not to be
  // changed here.
  bool fixed = false;
};

// What the port dialog shows when it opens.
struct PortDialogOffer {
  int currentPort = 0;                 // 1 shows COM1 selected, any other value COM2
  std::array<PortDevices, 2> devices;  // COM1, COM2
};

// What the port dialog hands back after OK.
struct PortChoice {
  int port = 2;  // 1 or 2
  // Per port (COM1, COM2) the path of the chosen entry; nothing where the
  // device could not be chosen (fixed, or nothing offered).
  std::array<std::optional<std::string>, 2> devices;
};

// The device list of port `portNumber`, which leads to `leadsTo` now, from
// the machine's `devices`: the platform's own device first (whether or not
// it was found), then every listed device, then the device the port leads
// to when it is none of those ("... (not found)"). When the environment
// names the device, that is the only entry.
PortDevices OfferDevices(int portNumber, const ComDevice& leadsTo,
                         const std::vector<SerialDeviceInfo>& devices);

// "PATH: DESCRIPTION, VVVV:PPPP, serial SN", leaving out what is unknown.
std::string DeviceText(const std::string& path, const SerialDeviceInfo& device);

// The entry at `index` of a port's device list, as a drop-down reports its
// current entry (-1 for none); nullptr when the list has no entry there.
const DeviceOption* OptionAt(const PortDevices& devices, std::ptrdiff_t index);

// A port's drop-down when OK is pressed. It takes a typed path too (a
// pseudo-terminal, an adapter the listing does not show): `index` is the
// entry it shows (-1 for none) and `text` what its field holds.
struct DeviceField {
  std::ptrdiff_t index = -1;
  std::string text;
};

// The device path typed into a port's field: its text, trimmed, when that
// is not the text of the entry it shows; nothing when an entry is chosen,
// the field is empty, or the list is fixed.
std::optional<std::string> TypedDevice(const PortDevices& devices, const DeviceField& field);

// Why the dialog cannot be accepted as it stands: the first port whose
// typed device cannot be one ("COM2: /dev/ttyS9: No such file or
// directory"); empty when it can.
std::string TypedDeviceProblem(const PortDialogOffer& offer,
                               const std::array<DeviceField, 2>& fields);

// What the port dialog hands back after OK: port 1 when `checkedPort` is 1,
// else 2; per port its typed device, else the path of the entry its field
// shows; nothing where the list is fixed or shows no entry.
PortChoice ChoiceFrom(const PortDialogOffer& offer, int checkedPort,
                      const std::array<DeviceField, 2>& fields);

}  // namespace tavlink
