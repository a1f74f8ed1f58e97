// Finds serial devices through sysfs (/sys/class/tty) and udev's stable
// names (/dev/serial/by-id).

#include "link/serial_ports_linux.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

namespace tavlink {
namespace {

namespace fs = std::filesystem;

// Longer than any USB string descriptor (126 characters of UTF-16, up to
// 378 bytes of UTF-8), far shorter than a page of sysfs.
constexpr size_t kMaxAttribute = 512;

// How far above a tty's device its USB device may be: the interface, then
// the device (a usb-serial port sits one level lower).
constexpr int kMaxUsbDepth = 4;

// The first line of a sysfs attribute, trimmed, made safe to print.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text(kMaxAttribute, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.pop_back();
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return text;
}

// The USB device a tty's device belongs to: the nearest folder above it
// (itself included) that has an idVendor, staying inside `sys`.
std::optional<fs::path> UsbDeviceOf(const fs::path& deviceLink, const fs::path& sys) {
  std::error_code ec;
  const fs::path root = fs::canonical(sys, ec);
  if (ec) return std::nullopt;
  fs::path dir = fs::canonical(deviceLink, ec);
  if (ec) return std::nullopt;
  for (int level = 0; level <= kMaxUsbDepth; ++level) {
    const auto [rootEnd, dirEnd] = std::mismatch(root.begin(), root.end(), dir.begin(), dir.end());
    if (rootEnd != root.end() || dirEnd == dir.end()) return std::nullopt;  // left sysfs
    if (fs::is_regular_file(dir / "idVendor", ec)) return dir;
    dir = dir.parent_path();
  }
  return std::nullopt;
}

void FillUsb(SerialDeviceInfo& info, const fs::path& usb) {
  info.manufacturer = ReadAttribute(usb / "manufacturer");
  info.product = ReadAttribute(usb / "product");
  info.vendorId = ReadAttribute(usb / "idVendor");
  info.productId = ReadAttribute(usb / "idProduct");
  info.serialNumber = ReadAttribute(usb / "serial");
  info.description = info.manufacturer;
  if (!info.product.empty())
    info.description += (info.description.empty() ? "" : " ") + info.product;
  if (info.description.empty()) info.description = "USB " + info.vendorId + ":" + info.productId;
}

const char* UartName(std::string_view type) {
  if (type == "1") return "8250 UART";
  if (type == "2") return "16450 UART";
  if (type == "3") return "16550 UART";
  if (type == "4") return "16550A UART";
  return "UART";
}

// Kernel name -> the by-id link that leads to it (the first in name order
// when several do).
std::map<std::string, fs::path> ByIdLinks(const fs::path& byId) {
  std::map<std::string, fs::path> links;
  std::error_code ec;
  std::vector<fs::path> names;
  for (const auto& entry : fs::directory_iterator(byId, ec)) names.push_back(entry.path());
  std::sort(names.begin(), names.end());
  for (const fs::path& link : names) {
    const fs::path target = fs::read_symlink(link, ec);
    if (ec || target.filename().empty()) continue;
    links.emplace(target.filename().string(), link);
  }
  return links;
}

// "/dev/ttyUSB10" sorts as ("ttyUSB", 10), then by its whole name.
std::tuple<std::string, unsigned long long, std::string> NameOrder(const std::string& kernelName) {
  const std::string name = fs::path(kernelName).filename().string();
  size_t digits = name.size();
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
  const std::string number = name.substr(digits).substr(0, 18);  // fits in 64 bits
  return {name.substr(0, digits), number.empty() ? 0 : std::stoull(number), name};
}

}  // namespace

std::vector<SerialDeviceInfo> ListSerialDevicesUnder(const SerialDeviceRoots& roots) {
  const std::map<std::string, fs::path> byId = ByIdLinks(roots.byId);
  std::vector<SerialDeviceInfo> devices;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(roots.sys / "class" / "tty", ec)) {
    const fs::path dir = entry.path();
    if (!fs::exists(dir / "device", ec)) continue;  // virtual consoles, ptys
    const std::string name = dir.filename().string();
    SerialDeviceInfo info;
    info.path = info.kernelName = "/dev/" + name;
    if (const auto usb = UsbDeviceOf(dir / "device", roots.sys)) {
      FillUsb(info, *usb);
      if (auto link = byId.find(name); link != byId.end()) info.path = link->second.string();
    } else if (fs::exists(dir / "type", ec)) {
      const std::string type = ReadAttribute(dir / "type");
      if (type.empty() || type == "0") continue;  // a legacy port without a UART
      info.description = UartName(type);
    }
    devices.push_back(std::move(info));
  }
  std::sort(devices.begin(), devices.end(), [](const auto& a, const auto& b) {
    return NameOrder(a.kernelName) < NameOrder(b.kernelName);
  });
  return devices;
}

std::vector<SerialDeviceInfo> ListSerialDevices() {
  return ListSerialDevicesUnder(SerialDeviceRoots{});
}

}  // namespace tavlink
