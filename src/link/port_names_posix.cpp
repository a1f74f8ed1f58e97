// Port n on Linux: the n-th built-in serial port.
#include "link/port_names.h"

namespace tavlink {

std::string DefaultComDevicePath(int portNumber) {
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

}  // namespace tavlink
