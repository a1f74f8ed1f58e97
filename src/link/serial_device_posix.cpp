// placeholder, replaced by the POSIX backend
#include "link/serial_device.h"
namespace tavlink {
std::unique_ptr<SerialDevice> MakePlatformSerialDevice() { return nullptr; }
}  // namespace tavlink
