// SettingStore kept in the Windows registry (RegGetValue, RegSetKeyValue).
#include "settings/registry_store_win32.h"

#include <windows.h>

#include <string>

namespace tavlink {
namespace {

const HKEY kReadOrder[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};

std::string DevicesKey(const std::string& key) {
  return key + "\\Devices";
}

std::string ComValue(int portNumber) {
  return "COM" + std::to_string(portNumber);
}

// The text `value` of `key` under `root`, when it is a string (one with
// %VARIABLES% comes expanded).
std::optional<std::string> ReadText(HKEY root, const std::string& key, const std::string& value) {
  DWORD size = 0;
  constexpr DWORD kTexts = RRF_RT_REG_SZ;
  if (::RegGetValueA(root, key.c_str(), value.c_str(), kTexts, nullptr, nullptr, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  std::string text(size, '\0');
  if (::RegGetValueA(root, key.c_str(), value.c_str(), kTexts, nullptr, text.data(), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  text.resize(text.find('\0') == std::string::npos ? size : text.find('\0'));
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::optional<int32_t> RegistrySettingStore::ReadPort() {
  for (HKEY root : kReadOrder) {
    DWORD port = 0;
    DWORD size = sizeof port;
    if (::RegGetValueA(root, key_.c_str(), "Port", RRF_RT_REG_DWORD, nullptr, &port, &size) ==
        ERROR_SUCCESS)
      return static_cast<int32_t>(port);
  }
  return std::nullopt;
}

bool RegistrySettingStore::WritePort(int32_t port) {
  const DWORD value = static_cast<DWORD>(port);
  return ::RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), "Port", REG_DWORD, &value,
                           sizeof value) == ERROR_SUCCESS;
}

std::optional<std::string> RegistrySettingStore::ReadDevice(int portNumber) {
  // The user's own mapping wins, even one that is empty (no mapping).
  for (HKEY root : kReadOrder) {
    const std::optional<std::string> text = ReadText(root, DevicesKey(key_), ComValue(portNumber));
    if (!text) continue;
    const std::string path = Trimmed(*text);
    if (path.empty()) return std::nullopt;
    return path;
  }
  return std::nullopt;
}

bool RegistrySettingStore::WriteDevice(int port, const std::string& device) {
  // Written even when empty: a deleted value would let the mapping under
  // HKEY_LOCAL_MACHINE apply again.
  return ::RegSetKeyValueA(HKEY_CURRENT_USER, DevicesKey(key_).c_str(), ComValue(port).c_str(),
                           REG_SZ, device.c_str(),
                           static_cast<DWORD>(device.size() + 1)) == ERROR_SUCCESS;
}

namespace {

std::string EditorKey(const std::string& key) {
  return key + "\\Editor";
}

}  // namespace

std::vector<std::string> RegistrySettingStore::ReadRecentFiles() {
  // The user's own list only: recent files are no machine preset.
  const std::string key = EditorKey(key_);
  DWORD size = 0;
  if (::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "RecentFiles", RRF_RT_REG_MULTI_SZ, nullptr,
                     nullptr, &size) != ERROR_SUCCESS)
    return {};
  std::string texts(size, '\0');
  if (::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "RecentFiles", RRF_RT_REG_MULTI_SZ, nullptr,
                     texts.data(), &size) != ERROR_SUCCESS)
    return {};
  texts.resize(size);
  std::vector<std::string> paths;
  size_t start = 0;
  while (start < texts.size()) {
    size_t end = texts.find('\0', start);
    if (end == std::string::npos) end = texts.size();
    if (end > start) paths.push_back(texts.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

bool RegistrySettingStore::WriteRecentFiles(const std::vector<std::string>& paths) {
  // Each path ends with its zero, the list with one more.
  std::string texts;
  for (const std::string& path : paths) {
    if (path.empty() || path.find('\0') != std::string::npos) continue;
    texts += path;
    texts += '\0';
  }
  texts += '\0';
  return ::RegSetKeyValueA(HKEY_CURRENT_USER, EditorKey(key_).c_str(), "RecentFiles", REG_MULTI_SZ,
                           texts.data(), static_cast<DWORD>(texts.size())) == ERROR_SUCCESS;
}

std::optional<bool> RegistrySettingStore::ReadVerifyAfterWrite() {
  for (HKEY root : kReadOrder) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueA(root, EditorKey(key_).c_str(), "VerifyAfterWrite", RRF_RT_REG_DWORD, nullptr,
                       &value, &size) == ERROR_SUCCESS)
      return value != 0;
  }
  return std::nullopt;
}

bool RegistrySettingStore::WriteVerifyAfterWrite(bool verify) {
  const DWORD value = verify ? 1 : 0;
  return ::RegSetKeyValueA(HKEY_CURRENT_USER, EditorKey(key_).c_str(), "VerifyAfterWrite",
                           REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

std::unique_ptr<SettingStore> MakeSettingStore() {
  return std::make_unique<RegistrySettingStore>();
}

std::string SettingStoreLocation() {
  return std::string("HKEY_CURRENT_USER\\") + kZorLinkRegistryKey;
}

}  // namespace tavlink
