#pragma once
// The desktop tool's stored settings as the command line uses them: the
// chosen port when neither --port nor --device is given, and the user's
// device mappings for the COM ports.

#include <optional>
#include <string>

namespace tavlink::cli {

// The stored port number, or nothing when none is stored (or the build has
// no settings store). 0 means the user chose none.
std::optional<int> StoredPortNumber();

// The device the user mapped to port n, if any.
std::optional<std::string> StoredDevice(int portNumber);

}  // namespace tavlink::cli
