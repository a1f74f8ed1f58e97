// A build without the desktop tool has no stored settings.

#include "cli/stored_settings.h"

namespace tavlink::cli {

std::optional<int> StoredPortNumber() {
  return std::nullopt;
}

std::optional<std::string> StoredDevice(int) {
  return std::nullopt;
}

}  // namespace tavlink::cli
