#pragma once
// The words of tavlink-cli's --help that differ by platform: the device a
// port opens when nothing else is named for it, and what is to know about
// where the settings live (beside SettingStoreLocation()).

#include <string>

namespace tavlink::cli {

// The port's own device, with <n> for the port number ("/dev/ttyS<n-1>").
std::string OwnDeviceOfPort();

// Said after the settings' location: how that place is found or read.
std::string SettingsLocationNote();

}  // namespace tavlink::cli
