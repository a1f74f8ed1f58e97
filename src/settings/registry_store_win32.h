#pragma once
// The settings in the Windows registry: the value "Port" (REG_DWORD) under
// SOFTWARE\ZOR\ZORLINK, and the device mappings as the values "COM<n>"
// (REG_SZ) of its subkey "Devices". Each is read from HKEY_CURRENT_USER
// first and then from HKEY_LOCAL_MACHINE (where an administrator may set
// them for every user of the computer); writes go to HKEY_CURRENT_USER,
// which a normal user may change. The channel editor's recent files are
// the REG_MULTI_SZ value "RecentFiles" of the subkey "Editor", its choice of
// reading a written list back the REG_DWORD "VerifyAfterWrite" there.
// Windows only.

#include <string>

#include "settings/setting_store.h"

namespace tavlink {

inline constexpr const char* kZorLinkRegistryKey = "SOFTWARE\\ZOR\\ZORLINK";

class RegistrySettingStore final : public SettingStore {
 public:
  // `key` is the path under both roots (another one for tests).
  explicit RegistrySettingStore(std::string key = kZorLinkRegistryKey) : key_(std::move(key)) {}

  std::optional<int32_t> ReadPort() override;
  bool WritePort(int32_t port) override;
  std::optional<std::string> ReadDevice(int portNumber) override;

  // Maps "COM<port>" to `device` under HKEY_CURRENT_USER; an empty device
  // is stored as an empty value, which hides a mapping under
  // HKEY_LOCAL_MACHINE. False when it could not be stored.
  bool WriteDevice(int port, const std::string& device) override;

  std::vector<std::string> ReadRecentFiles() override;
  bool WriteRecentFiles(const std::vector<std::string>& paths) override;
  std::optional<bool> ReadVerifyAfterWrite() override;
  bool WriteVerifyAfterWrite(bool verify) override;

 private:
  std::string key_;
};

}  // namespace tavlink
