// The serial devices of a Windows computer: its COM ports as the serial
// drivers list them, with what the device manager knows of each where it
// has it (SetupAPI): the friendly name, and for a USB adapter its maker,
// product, vendor and product ids and serial number. Wine lists the ports
// alone.

#include <windows.h>
// The device manager's headers need windows.h first.
#include <cfgmgr32.h>
#include <devpropdef.h>
#include <setupapi.h>

#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include "link/com_ports_win32.h"
#include "link/serial_ports.h"
#include "link/windows_device_ids.h"

namespace tavlink {
namespace {

// The description the device gave of itself on its bus (a USB adapter's
// product string), DEVPKEY_Device_BusReportedDeviceDesc.
const DEVPROPKEY kBusReportedDescription = {
    {0x540b947e, 0x8b40, 0x45bc, {0xa8, 0xa2, 0x6a, 0x0b, 0x89, 0x4c, 0xbd, 0xa2}}, 4};

// Ancestors looked at for a USB device's serial number: the port's own
// device, its USB interface, the USB device.
constexpr int kAncestors = 3;

struct DeviceListCloser {
  void operator()(HDEVINFO set) const { ::SetupDiDestroyDeviceInfoList(set); }
};
using DeviceList = std::unique_ptr<std::remove_pointer_t<HDEVINFO>, DeviceListCloser>;

std::string Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  char text[1024] = {};
  DWORD type = 0;
  if (!::SetupDiGetDeviceRegistryPropertyA(set, &device, property, &type,
                                           reinterpret_cast<BYTE*>(text), sizeof text - 2, nullptr))
    return {};
  if (type != REG_SZ && type != REG_MULTI_SZ) return {};
  return text;  // a list's first string
}

std::string BusDescription(HDEVINFO set, SP_DEVINFO_DATA& device) {
  wchar_t text[512] = {};
  DEVPROPTYPE type = 0;
  if (!::SetupDiGetDevicePropertyW(set, &device, &kBusReportedDescription, &type,
                                   reinterpret_cast<BYTE*>(text), sizeof text - sizeof(wchar_t),
                                   nullptr, 0) ||
      type != DEVPROP_TYPE_STRING)
    return {};
  char narrow[1024] = {};
  if (::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr) == 0)
    return {};
  return narrow;
}

std::string PortName(HDEVINFO set, SP_DEVINFO_DATA& device) {
  const HKEY key =
      ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
  if (key == INVALID_HANDLE_VALUE) return {};
  char name[256] = {};
  DWORD size = sizeof name - 1;
  DWORD type = 0;
  const LONG result =
      ::RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
  ::RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_SZ ? std::string(name) : std::string();
}

std::string InstanceId(DEVINST instance) {
  char id[MAX_DEVICE_ID_LEN + 1] = {};
  if (::CM_Get_Device_IDA(instance, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) return {};
  return id;
}

// Fills in the USB fields from the port's hardware id and the instance ids
// of the port and its ancestors.
void AddUsbIds(HDEVINFO set, SP_DEVINFO_DATA& device, SerialDeviceInfo& info) {
  WindowsDeviceIds ids = ParseWindowsDeviceId(Property(set, device, SPDRP_HARDWAREID));
  DEVINST instance = device.DevInst;
  for (int level = 0; level < kAncestors && ids.serialNumber.empty(); ++level) {
    const WindowsDeviceIds found = ParseWindowsDeviceId(InstanceId(instance));
    if (ids.vendorId.empty()) ids.vendorId = found.vendorId;
    if (ids.productId.empty()) ids.productId = found.productId;
    ids.serialNumber = found.serialNumber;
    DEVINST parent = 0;
    if (::CM_Get_Parent(&parent, instance, 0) != CR_SUCCESS) break;
    instance = parent;
  }
  if (ids.vendorId.empty()) return;  // not a USB adapter
  info.vendorId = ids.vendorId;
  info.productId = ids.productId;
  info.serialNumber = ids.serialNumber;
  info.manufacturer = Property(set, device, SPDRP_MFG);
  info.product = BusDescription(set, device);
}

// What the device manager knows of the present ports, by port name.
void AddDevicesOf(const GUID& guid, DWORD flags, std::map<std::string, SerialDeviceInfo>& known) {
  const HDEVINFO list = ::SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | flags);
  if (list == INVALID_HANDLE_VALUE) return;
  const DeviceList set(list);
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set.get(), index, &device); ++index) {
    const std::string name = PortName(set.get(), device);
    if (name.empty() || known.contains(name)) continue;
    SerialDeviceInfo info;
    info.path = info.kernelName = name;
    info.description = WithoutPortSuffix(Property(set.get(), device, SPDRP_FRIENDLYNAME), name);
    if (info.description.empty()) info.description = Property(set.get(), device, SPDRP_DEVICEDESC);
    AddUsbIds(set.get(), device, info);
    known.emplace(name, std::move(info));
  }
}

}  // namespace

std::vector<SerialDeviceInfo> ListSerialDevices() {
  // The ports class, and any device that offers a COM port (a modem, a
  // phone's serial interface).
  static const GUID kPortsClass = {
      0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
  static const GUID kComPortInterface = {
      0x86e0d1e0, 0x8089, 0x11d0, {0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73}};
  std::map<std::string, SerialDeviceInfo> known;
  AddDevicesOf(kPortsClass, 0, known);
  AddDevicesOf(kComPortInterface, DIGCF_DEVICEINTERFACE, known);

  std::vector<SerialDeviceInfo> devices;
  for (const std::string& name : ListComPorts()) {
    if (const auto found = known.find(name); found != known.end()) {
      devices.push_back(found->second);
      continue;
    }
    SerialDeviceInfo info;
    info.path = info.kernelName = name;
    devices.push_back(info);
  }
  return devices;
}

}  // namespace tavlink
