#include "link/windows_device_ids.h"

#include <algorithm>
#include <cctype>

namespace tavlink {
namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// The four hex digits after `tag` ("VID_") in `upper`, in lower case; empty
// when the tag is missing or not followed by four hex digits.
std::string HexAfter(const std::string& upper, std::string_view tag) {
  for (size_t at = upper.find(tag); at != std::string::npos; at = upper.find(tag, at + 1)) {
    // A tag starts the id or follows a separator: "XVID_" is no vendor id.
    if (at > 0 && std::isalnum(static_cast<unsigned char>(upper[at - 1]))) continue;
    const size_t start = at + tag.size();
    if (start + 4 > upper.size()) continue;
    const std::string digits = upper.substr(start, 4);
    if (!std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
      continue;
    if (start + 4 < upper.size() && std::isxdigit(static_cast<unsigned char>(upper[start + 4])))
      continue;  // more than four digits
    std::string lower = digits;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
  }
  return {};
}

}  // namespace

WindowsDeviceIds ParseWindowsDeviceId(std::string_view id) {
  const std::string upper = Upper(id);
  WindowsDeviceIds ids{HexAfter(upper, "VID_"), HexAfter(upper, "PID_"), {}};
  // "USB\VID_0403&PID_6001\A50285BI": bus, hardware, instance.
  const size_t first = id.find('\\');
  const size_t last = id.rfind('\\');
  if (upper.starts_with("USB\\") && last != first && last + 1 < id.size()) {
    const std::string_view instance = id.substr(last + 1);
    if (instance.find('&') == std::string_view::npos) ids.serialNumber = instance;
  }
  return ids;
}

std::string WithoutPortSuffix(std::string_view friendlyName, std::string_view portName) {
  const std::string suffix = " (" + std::string(portName) + ")";
  if (friendlyName.size() > suffix.size() && friendlyName.ends_with(suffix))
    friendlyName.remove_suffix(suffix.size());
  return std::string(friendlyName);
}

}  // namespace tavlink
