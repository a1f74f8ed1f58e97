// Finds serial devices through /sys/class/tty: every tty backed by a device,
// except the legacy 8250 ports that have no UART behind them.

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "link/serial_ports.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;

std::string ReadLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// The maker and product of the USB device a tty hangs off, if any.
std::string UsbDescription(const fs::path& deviceDir) {
  std::error_code ec;
  for (fs::path dir = fs::canonical(deviceDir, ec);
       !ec && dir.has_parent_path() && dir != dir.parent_path(); dir = dir.parent_path()) {
    if (fs::exists(dir / "idVendor", ec)) {
      std::string text = ReadLine(dir / "manufacturer");
      const std::string product = ReadLine(dir / "product");
      if (!product.empty()) text += (text.empty() ? "" : " ") + product;
      if (text.empty())
        text = "USB " + ReadLine(dir / "idVendor") + ":" + ReadLine(dir / "idProduct");
      return text;
    }
  }
  return "";
}

const char* UartName(int type) {
  switch (type) {
    case 1:
      return "8250 UART";
    case 2:
      return "16450 UART";
    case 3:
      return "16550 UART";
    case 4:
      return "16550A UART";
    default:
      return "UART";
  }
}

}  // namespace

std::vector<SerialDeviceInfo> ListSerialDevices() {
  std::vector<SerialDeviceInfo> devices;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/sys/class/tty", ec)) {
    const fs::path dir = entry.path();
    if (!fs::exists(dir / "device", ec)) continue;  // virtual consoles, ptys
    const std::string name = dir.filename().string();
    std::string description = UsbDescription(dir / "device");
    if (description.empty() && fs::exists(dir / "type", ec)) {
      const std::string type = ReadLine(dir / "type");
      if (type.empty() || type == "0") continue;  // a legacy port without a UART
      description = UartName(std::atoi(type.c_str()));
    }
    SerialDeviceInfo info;
    info.path = info.kernelName = "/dev/" + name;
    info.description = description;
    devices.push_back(info);
  }
  std::sort(devices.begin(), devices.end(),
            [](const auto& a, const auto& b) { return a.path < b.path; });
  return devices;
}

}  // namespace tavlink
