#pragma once
// The settings kept with QSettings under organisation "ZOR", application
// "ZORLINK" (on Linux $XDG_CONFIG_HOME/ZOR/ZORLINK.conf, ~/.config when
// unset), read before the machine's file of the same name in the system
// scope (/etc/xdg/ZOR/ZORLINK.conf, or under $XDG_CONFIG_DIRS). Needs no
// QCoreApplication.

#include <memory>

#include "settings/setting_store.h"

namespace tavlink {

std::unique_ptr<SettingStore> MakeQSettingsStore();

}  // namespace tavlink
