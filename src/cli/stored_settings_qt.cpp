// The stored settings through the desktop tool's QSettings store.

#include "app/setting_store.h"
#include "cli/stored_settings.h"
#include "link/port_names.h"

namespace tavlink::cli {

void ApplyStoredDeviceMappings() {
  const auto store = MakeQSettingsStore();
  for (int port : {1, 2})
    if (auto device = store->ReadDevice(port)) SetComDeviceOverride(port, *device);
}

int StoredPortNumber() {
  return MakeQSettingsStore()->ReadPort().value_or(1);
}

}  // namespace tavlink::cli
