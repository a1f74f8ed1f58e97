// A build without the desktop tool has no stored settings: COM1 it is.

#include "cli/stored_settings.h"

namespace tavlink::cli {

void ApplyStoredDeviceMappings() {}

int StoredPortNumber() {
  return 1;
}

}  // namespace tavlink::cli
