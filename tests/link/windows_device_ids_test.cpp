// What Windows' names of a serial device tell: the USB ids and serial
// number in its instance and hardware ids, and the friendly name without
// its port.

#include "link/windows_device_ids.h"

#include <gtest/gtest.h>

namespace tavlink {
namespace {

TEST(WindowsDeviceIdsTest, UsbInstanceIdGivesVendorProductAndSerialNumber) {
  const WindowsDeviceIds ids = ParseWindowsDeviceId("USB\\VID_0403&PID_6001\\A50285BI");
  EXPECT_EQ(ids.vendorId, "0403");
  EXPECT_EQ(ids.productId, "6001");
  EXPECT_EQ(ids.serialNumber, "A50285BI");
}

TEST(WindowsDeviceIdsTest, HexDigitsComeInLowerCaseWhateverTheIdsCase) {
  const WindowsDeviceIds ids = ParseWindowsDeviceId("usb\\vid_10C4&pid_EA60&rev_0100");
  EXPECT_EQ(ids.vendorId, "10c4");
  EXPECT_EQ(ids.productId, "ea60");
  EXPECT_EQ(ids.serialNumber, "");  // a hardware id has no instance part
}

TEST(WindowsDeviceIdsTest, DriverBusIdsCarryTheUsbIdsButNoSerialNumber) {
  const WindowsDeviceIds ftdi = ParseWindowsDeviceId("FTDIBUS\\COMPORT&VID_0403&PID_6015");
  EXPECT_EQ(ftdi.vendorId, "0403");
  EXPECT_EQ(ftdi.productId, "6015");
  EXPECT_EQ(ftdi.serialNumber, "");
  const WindowsDeviceIds plus = ParseWindowsDeviceId("FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000");
  EXPECT_EQ(plus.vendorId, "0403");
  EXPECT_EQ(plus.productId, "6001");
  EXPECT_EQ(plus.serialNumber, "");
}

// Windows makes up an instance part with '&' for a device without a serial
// number, and for each interface of a composite device.
TEST(WindowsDeviceIdsTest, AMadeUpInstancePartIsNoSerialNumber) {
  EXPECT_EQ(ParseWindowsDeviceId("USB\\VID_2341&PID_0043\\6&2C6B1B6&0&2").serialNumber, "");
  const WindowsDeviceIds port = ParseWindowsDeviceId("USB\\VID_2341&PID_8036&MI_00\\7&1A2B&0&0000");
  EXPECT_EQ(port.vendorId, "2341");
  EXPECT_EQ(port.serialNumber, "");
}

TEST(WindowsDeviceIdsTest, NoUsbIdsInOtherDevicesOrBrokenIds) {
  for (const char* id : {"ACPI\\PNP0501\\1", "", "USB\\VID_04\\X", "USB\\VID_04031&PID_6001\\X",
                         "ROOT\\XVID_0403&PID_6001\\0000"}) {
    const WindowsDeviceIds ids = ParseWindowsDeviceId(id);
    EXPECT_EQ(ids.vendorId, "") << id;
  }
  EXPECT_EQ(ParseWindowsDeviceId("USB\\VID_0403&PID_600").productId, "");
  EXPECT_EQ(ParseWindowsDeviceId("ACPI\\PNP0501\\1").serialNumber, "");
}

TEST(WindowsDeviceIdsTest, FriendlyNameLosesOnlyItsOwnPort) {
  EXPECT_EQ(WithoutPortSuffix("USB Serial Port (COM3)", "COM3"), "USB Serial Port");
  EXPECT_EQ(WithoutPortSuffix("Communications Port (COM1)", "COM1"), "Communications Port");
  EXPECT_EQ(WithoutPortSuffix("USB Serial Port (COM3)", "COM13"), "USB Serial Port (COM3)");
  EXPECT_EQ(WithoutPortSuffix(" (COM3)", "COM3"), " (COM3)");
  EXPECT_EQ(WithoutPortSuffix("", "COM3"), "");
}

}  // namespace
}  // namespace tavlink
