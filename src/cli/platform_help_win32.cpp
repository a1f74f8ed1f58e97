// The help's words on Windows: the COM ports by their device names, the
// settings in the registry.
#include "cli/platform_help.h"

namespace tavlink::cli {

std::string OwnDeviceOfPort() {
  return "\\\\.\\COM<n>";
}

std::string SettingsLocationNote() {
  return "a value the user has not set is read from HKEY_LOCAL_MACHINE";
}

}  // namespace tavlink::cli
