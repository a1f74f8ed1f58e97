// The help's words on Linux: the kernel's serial devices, the QSettings
// file under the XDG folders.
#include "cli/platform_help.h"

namespace tavlink::cli {

std::string OwnDeviceOfPort() {
  return "/dev/ttyS<n-1>";
}

std::string SettingsLocationNote() {
  return "$XDG_CONFIG_HOME honoured";
}

}  // namespace tavlink::cli
