#pragma once
// The desktop tool's stored settings as the command line uses them: the
// chosen port when neither --port nor --device is given, and the user's
// device mappings for COM1 and COM2.

namespace tavlink::cli {

// The stored port number, or 1 when none is stored (or the build has no
// settings store).
int StoredPortNumber();

// Maps COM1 and COM2 to the devices the user stored for them, if any.
void ApplyStoredDeviceMappings();

}  // namespace tavlink::cli
