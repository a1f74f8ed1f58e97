#pragma once
// The desktop tool's main window on a thread of its own, with its settings
// under a test key of HKEY_CURRENT_USER (removed before and after each
// test), for the tests of the Win32 windows.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/main_logic.h"
#include "app_win32/win32_main_window.h"
#include "app_win32/window_driver.h"
#include "data/receiver_data_block.h"
#include "settings/registry_store_win32.h"
#include "win32_widgets/win32_message_box.h"

namespace tavlink::testing {

inline constexpr const char* kTestSettingsKey = "SOFTWARE\\ZOR\\ZORLINK-window-tests";

inline std::vector<SerialDeviceInfo> NoDevices() {
  return {};
}

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TAVLINK_COM1", "TAVLINK_COM2"})
      if (std::getenv(name) != nullptr) GTEST_SKIP() << name << " is set";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestSettingsKey);
  }
  void TearDown() override {
    app_.reset();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestSettingsKey);
  }

  // Starts the tool: the main window's initialisation, then its modal run.
  void Start(app::DeviceLister listDevices = NoDevices) {
    app_ = std::make_unique<UiThread>([this, listDevices] {
      app::Win32MainWindow window(std::make_unique<RegistrySettingStore>(kTestSettingsKey), block_,
                                  listDevices);
      window.Run();
    });
  }

  // The window titled `title` once it takes input; nullptr after the limit.
  HWND Wait(const std::string& title, std::chrono::milliseconds limit = kWindowWait) {
    return WaitForWindow(app_->Id(), title, limit);
  }
  HWND WaitForMainWindow() { return Wait("ZOR Link"); }
  // An application box: the test program's own name as caption.
  HWND WaitForAppBox() { return Wait(app::ApplicationCaption()); }

  static void StorePort(DWORD port) {
    ::RegSetKeyValueA(HKEY_CURRENT_USER, kTestSettingsKey, "Port", REG_DWORD, &port, sizeof port);
  }
  static std::optional<DWORD> StoredPort() {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueA(HKEY_CURRENT_USER, kTestSettingsKey, "Port", RRF_RT_REG_DWORD, nullptr,
                       &value, &size) != ERROR_SUCCESS)
      return std::nullopt;
    return value;
  }
  static std::optional<std::string> StoredDevice(int port) {
    char value[256] = {};
    DWORD size = sizeof value;
    const std::string key = std::string(kTestSettingsKey) + "\\Devices";
    if (::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), ("COM" + std::to_string(port)).c_str(),
                       RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
      return std::nullopt;
    return std::string(value);
  }

  // The main window's three receiver texts: software, hardware, status.
  static std::vector<std::string> ReceiverTexts(HWND main) {
    return {ItemText(main, 1021), ItemText(main, 1018), ItemText(main, 1022)};
  }

  ReceiverDataBlock block_;
  std::unique_ptr<UiThread> app_;
};

}  // namespace tavlink::testing
