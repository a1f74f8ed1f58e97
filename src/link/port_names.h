#pragma once
// Where "COM<n>" leads on this machine. Port n is the device "COM<n>"; on
// Linux that is /dev/ttyS<n-1> unless the environment variable
// TAVLINK_COM<n> names another device (a USB adapter, a pseudo-terminal),
// or a device has been mapped for it with SetComDeviceOverride (the desktop
// tool's "Devices/COM<n>" settings). The environment variable wins.

#include <optional>
#include <string>

namespace tavlink {

// "COM<n>": the name the system and its messages use for port n.
std::string ComPortName(int portNumber);

// The device path that port n opens. Thread-safe.
std::string ComDevicePath(int portNumber);

// How ComDevicePath decided ("environment TAVLINK_COM1", "setting", "default").
std::string ComDeviceSource(int portNumber);

// Maps port n to `path` for this process (empty: remove the mapping).
// The environment variable still takes precedence. Thread-safe.
void SetComDeviceOverride(int portNumber, const std::string& path);

}  // namespace tavlink
