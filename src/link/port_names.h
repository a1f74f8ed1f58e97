#pragma once
// Where "COM<n>" leads on this machine. Port n is the device "COM<n>"; a
// front end resolves it to a device path before a session starts and hands
// the session a device made for that path (MakeSerialDeviceAt). The
// environment variable TAVLINK_COM<n> wins over the user's stored mapping
// for port n, which wins over the platform's own device for it.
//
// Nothing here is process-wide state: each caller resolves for itself.

#include <optional>
#include <string>

namespace tavlink {

// "COM<n>": the name the system and its messages use for port n.
std::string ComPortName(int portNumber);

// The platform's own device for port n: /dev/ttyS<n-1> on Linux,
// \\.\COM<n> on Windows.
std::string DefaultComDevicePath(int portNumber);

// "TAVLINK_COM<n>": the environment variable that maps port n.
std::string ComEnvironmentName(int portNumber);

// The device port n opens, and why.
struct ComDevice {
  enum class Source { kEnvironment, kSetting, kDefault };
  std::string path;
  Source source = Source::kDefault;
};

// Resolves port n: TAVLINK_COM<n> when set and not empty, else `setting`
// when given and not empty, else the platform's default.
ComDevice ResolveComDevice(int portNumber, const std::optional<std::string>& setting);

// "environment TAVLINK_COM1", "setting" or "default".
std::string DescribeSource(int portNumber, ComDevice::Source source);

// "/dev/ttyUSB0 (setting)": the device port n opens and why.
std::string DeviceAndSource(int portNumber, const ComDevice& device);

// "COM1 opens /dev/ttyUSB0 (setting)": where port n leads and why.
std::string PortLeadText(int portNumber, const ComDevice& device);

// Why `path`, typed by the user as a port's device, cannot be one: "no such
// device", "not a serial device"; empty when it can be tried. Opens nothing.
std::string DevicePathProblem(const std::string& path);

}  // namespace tavlink
