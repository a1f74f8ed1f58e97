// The stored settings through the desktop tool's QSettings store.

#include "app/setting_store.h"
#include "cli/stored_settings.h"

namespace tavlink::cli {

std::optional<int> StoredPortNumber() {
  return MakeQSettingsStore()->ReadPort();
}

std::optional<std::string> StoredDevice(int portNumber) {
  return MakeQSettingsStore()->ReadDevice(portNumber);
}

}  // namespace tavlink::cli
