// The serial device listing read from a copy of sysfs and udev's by-id
// folder (sysfs_tree/): a board port, a legacy placeholder, a virtual
// console and three USB adapters with more and fewer strings.

#include "link/serial_ports_linux.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/paths.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;

fs::path Tree() {
  return testing::SourceDir() / "tests" / "link" / "sysfs_tree";
}

SerialDeviceRoots RootsIn(const fs::path& tree) {
  return {tree / "sys", tree / "dev" / "serial" / "by-id"};
}

TEST(SerialPortsLinuxTest, ListsBoardPortsAndUsbAdaptersInNumericNameOrder) {
  const auto devices = ListSerialDevicesUnder(RootsIn(Tree()));
  ASSERT_EQ(devices.size(), 4u);
  EXPECT_EQ(devices[0].kernelName, "/dev/ttyACM0");
  EXPECT_EQ(devices[1].kernelName, "/dev/ttyS0");
  EXPECT_EQ(devices[2].kernelName, "/dev/ttyUSB2");
  EXPECT_EQ(devices[3].kernelName, "/dev/ttyUSB10");
}

TEST(SerialPortsLinuxTest, UsbAdapterGetsItsStringsIdsAndByIdPath) {
  const auto devices = ListSerialDevicesUnder(RootsIn(Tree()));
  ASSERT_EQ(devices.size(), 4u);
  const SerialDeviceInfo& ftdi = devices[3];
  EXPECT_EQ(ftdi.path,
            (Tree() / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string());
  EXPECT_EQ(ftdi.kernelName, "/dev/ttyUSB10");
  EXPECT_EQ(ftdi.description, "FTDI FT232R USB UART");
  EXPECT_EQ(ftdi.manufacturer, "FTDI");
  EXPECT_EQ(ftdi.product, "FT232R USB UART");
  EXPECT_EQ(ftdi.vendorId, "0403");
  EXPECT_EQ(ftdi.productId, "6001");
  EXPECT_EQ(ftdi.serialNumber, "A50285BI");
}

TEST(SerialPortsLinuxTest, UsbAdaptersWithMissingStringsKeepWhatTheyHave) {
  const auto devices = ListSerialDevicesUnder(RootsIn(Tree()));
  ASSERT_EQ(devices.size(), 4u);
  // cdc_acm: the tty hangs off the interface; no product string.
  const SerialDeviceInfo& arduino = devices[0];
  EXPECT_EQ(arduino.path, (Tree() / "dev/serial/by-id/"
                                    "usb-Arduino__www.arduino.cc__0043_75833353035351A0B1D1-if00")
                              .string());
  EXPECT_EQ(arduino.description, "Arduino (www.arduino.cc)");
  EXPECT_EQ(arduino.product, "");
  EXPECT_EQ(arduino.vendorId, "2341");
  EXPECT_EQ(arduino.productId, "0043");
  EXPECT_EQ(arduino.serialNumber, "75833353035351A0B1D1");
  // No maker, no serial number, blanks after the product.
  const SerialDeviceInfo& ch340 = devices[2];
  EXPECT_EQ(ch340.description, "USB Serial");
  EXPECT_EQ(ch340.manufacturer, "");
  EXPECT_EQ(ch340.product, "USB Serial");
  EXPECT_EQ(ch340.vendorId, "1a86");
  EXPECT_EQ(ch340.productId, "7523");
  EXPECT_EQ(ch340.serialNumber, "");
}

TEST(SerialPortsLinuxTest, BoardPortIsNamedByItsUartAndHasNoUsbFields) {
  const auto devices = ListSerialDevicesUnder(RootsIn(Tree()));
  ASSERT_EQ(devices.size(), 4u);
  const SerialDeviceInfo& board = devices[1];
  EXPECT_EQ(board.path, "/dev/ttyS0");
  EXPECT_EQ(board.description, "16550A UART");
  for (const std::string* field : {&board.manufacturer, &board.product, &board.vendorId,
                                   &board.productId, &board.serialNumber}) {
    EXPECT_EQ(*field, "");
  }
}

TEST(SerialPortsLinuxTest, WithoutByIdLinksUsbAdaptersKeepTheirKernelNames) {
  SerialDeviceRoots roots = RootsIn(Tree());
  roots.byId = Tree() / "no-such-folder";
  const auto devices = ListSerialDevicesUnder(roots);
  ASSERT_EQ(devices.size(), 4u);
  for (const auto& device : devices) EXPECT_EQ(device.path, device.kernelName);
  EXPECT_EQ(devices[3].vendorId, "0403");
}

TEST(SerialPortsLinuxTest, MissingSysfsGivesNoDevices) {
  EXPECT_TRUE(ListSerialDevicesUnder(RootsIn(Tree() / "no-such-folder")).empty());
}

TEST(SerialPortsLinuxTest, StringsFromTheDeviceAreCutToOneSafeLine) {
  // A device may put anything in its descriptors: terminal escapes, line
  // breaks, far too much text.
  testing::TempFolder copy;
  fs::copy(Tree(), copy.path(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  const fs::path usb = copy.path() / "sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
  testing::WriteBytes((usb / "product").string(), "FT232R\x1b]0;owned\x07 UART\r\nsecond line\n");
  testing::WriteBytes((usb / "manufacturer").string(), std::string(100000, 'M'));
  const auto devices = ListSerialDevicesUnder(RootsIn(copy.path()));
  ASSERT_EQ(devices.size(), 4u);
  EXPECT_EQ(devices[3].product, "FT232R?]0;owned? UART");
  EXPECT_EQ(devices[3].manufacturer, std::string(512, 'M'));
}

}  // namespace
}  // namespace tavlink
