#pragma once
// The settings kept with QSettings under organisation "ZOR", application
// "ZORLINK" (on Linux $XDG_CONFIG_HOME/ZOR/ZORLINK.conf, ~/.config when
// unset). Needs no QCoreApplication.

#include <memory>

#include "settings/setting_store.h"

namespace tavlink {

std::unique_ptr<SettingStore> MakeQSettingsStore();

}  // namespace tavlink
