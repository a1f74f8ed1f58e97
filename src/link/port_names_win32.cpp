// Where "COM<n>" leads on Windows: the device of that name in the Win32
// device namespace. The "\\.\" prefix is needed from COM10 on and harmless
// below.

#include <windows.h>

#include <cctype>
#include <string>

#include "link/com_ports_win32.h"
#include "link/port_names.h"

namespace tavlink {

std::string DefaultComDevicePath(int portNumber) {
  return "\\\\.\\COM" + std::to_string(portNumber);
}

std::string DevicePathProblem(const std::string& path) {
  if (path.empty()) return "no device named";
  // The name in the device namespace, without its "\\.\" prefix.
  const std::string device = Win32DevicePath(path);
  const std::string name = device.rfind("\\\\.\\", 0) == 0 ? device.substr(4) : device;
  char target[1024];
  if (name.find_first_of("\\/:") != std::string::npos ||
      ::QueryDosDeviceA(name.c_str(), target, sizeof target) == 0)
    return "no such device";
  return {};
}

std::string Win32DevicePath(const std::string& name) {
  if (name.size() < 4) return name;
  for (size_t i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return name;
  for (size_t i = 3; i < name.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return name;
  return "\\\\.\\" + name;
}

}  // namespace tavlink
