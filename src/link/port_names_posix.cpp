// Port n on Linux: the n-th built-in serial port; a typed device is any
// character device (a tty, a USB adapter, a pseudo-terminal).
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "link/port_names.h"

namespace tavlink {

std::string DevicePathProblem(const std::string& path) {
  if (path.empty()) return "no device named";
  if (path.front() != '/') return "not a full path (it begins with /dev/)";
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::strerror(errno);
  if (!S_ISCHR(info.st_mode)) return "not a serial device";
  return {};
}

std::string DefaultComDevicePath(int portNumber) {
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

}  // namespace tavlink
