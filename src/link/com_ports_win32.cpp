// The COM ports that the serial drivers of this computer registered: the
// values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, each a port name as data
// ("\Device\Serial0" = "COM1").

#include "link/com_ports_win32.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace tavlink {
namespace {

// Sort key: COM ports by number first, then any other name.
std::tuple<int, unsigned long, std::string> Key(const std::string& name) {
  const bool com = name.size() > 3 && name.size() < 13 &&
                   std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
                   std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
                   std::toupper(static_cast<unsigned char>(name[2])) == 'M' &&
                   std::all_of(name.begin() + 3, name.end(),
                               [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
  if (com) return {0, std::stoul(name.substr(3)), name};
  return {1, 0, name};
}

}  // namespace

std::vector<std::string> SortComPortNames(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return Key(a) < Key(b); });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::vector<std::string> ListComPorts() {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                    &opened) != ERROR_SUCCESS)
    return {};
  const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)> key(opened,
                                                                                 &RegCloseKey);
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char valueName[256];
    DWORD valueNameSize = sizeof valueName;
    BYTE data[256];
    DWORD dataSize = sizeof data - 1;
    DWORD type = 0;
    const LONG result =
        RegEnumValueA(key.get(), index, valueName, &valueNameSize, nullptr, &type, data, &dataSize);
    if (result == ERROR_MORE_DATA) continue;  // not a port name: far too long
    if (result != ERROR_SUCCESS) break;
    if (type != REG_SZ) continue;
    data[dataSize] = 0;  // the stored string need not end with its zero
    std::string name(reinterpret_cast<const char*>(data));
    if (!name.empty()) names.push_back(std::move(name));
  }
  return SortComPortNames(std::move(names));
}

}  // namespace tavlink
