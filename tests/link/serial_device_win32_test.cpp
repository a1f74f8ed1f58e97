// The Windows backend's own behaviour that needs no serial line: device
// paths, the list of COM ports, exclusive opens and the texts of failures.
// Its line itself is tested over a pseudo-terminal from the Linux side
// (tests/wine).

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "link/com_ports_win32.h"
#include "link/port_names.h"
#include "link/serial_port.h"
#include "support/recording_reporter.h"

namespace tavlink {
namespace {
using testing::RecordingReporter;

TEST(Win32DevicePathTest, PortsOpenInTheDeviceNamespace) {
  EXPECT_EQ(DefaultComDevicePath(1), "\\\\.\\COM1");
  EXPECT_EQ(DefaultComDevicePath(12), "\\\\.\\COM12");
}

TEST(Win32DevicePathTest, ABareComNameIsMadeADevicePathAndOtherNamesStay) {
  EXPECT_EQ(Win32DevicePath("COM7"), "\\\\.\\COM7");
  EXPECT_EQ(Win32DevicePath("com12"), "\\\\.\\com12");
  EXPECT_EQ(Win32DevicePath("\\\\.\\COM3"), "\\\\.\\COM3");
  EXPECT_EQ(Win32DevicePath("COM"), "COM");
  EXPECT_EQ(Win32DevicePath("COM1:"), "COM1:");
  EXPECT_EQ(Win32DevicePath("COMPORT"), "COMPORT");
  EXPECT_EQ(Win32DevicePath("C:\\ports\\COM1"), "C:\\ports\\COM1");
}

TEST(ComPortListTest, SortsByPortNumberAndDropsRepeats) {
  EXPECT_EQ(SortComPortNames({"COM10", "COM2", "CNCA0", "COM1", "COM2"}),
            (std::vector<std::string>{"COM1", "COM2", "COM10", "CNCA0"}));
  EXPECT_TRUE(SortComPortNames({}).empty());
}

// A regular file stands in for a device that CreateFile opens but that is no
// serial port.
class Win32DeviceOnFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("tavlink-device-" + std::to_string(::GetCurrentProcessId()));
    std::ofstream(path_) << "x";
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::string Path() const { return path_.string(); }

  std::filesystem::path path_;
};

TEST_F(Win32DeviceOnFileTest, ASecondOpenIsRefusedAsAnotherProgramsPort) {
  auto first = MakeSerialDeviceAt(Path());
  ASSERT_FALSE(first->Open(3));
  auto second = MakeSerialDeviceAt(Path());
  const DeviceError refused = second->Open(3);
  EXPECT_EQ(refused.code, ERROR_SHARING_VIOLATION);
  EXPECT_NE(refused.text.find("Another program is using " + Path() + " (COM3)."), std::string::npos)
      << refused.text;

  EXPECT_FALSE(first->Close());
  EXPECT_FALSE(second->Open(3));  // free again once closed
}

TEST_F(Win32DeviceOnFileTest, OpenOfSomethingThatIsNoSerialPortFailsAndLetsItGo) {
  RecordingReporter reporter;
  SerialPort port(MakeSerialDeviceAt(Path()), SystemClock(), reporter);
  port.Initialize(3, 8192, 8192);
  ASSERT_EQ(port.SetMode("96,n,8,1"), 1);
  EXPECT_EQ(port.Open(), 0);
  ASSERT_EQ(reporter.Boxes().size(), 1u);
  EXPECT_EQ(reporter.Boxes()[0].caption, "Serial Communication Device Error");
  EXPECT_FALSE(reporter.Boxes()[0].text.empty());
  EXPECT_TRUE(port.IsInitialized());
  EXPECT_FALSE(port.IsOpen());

  // The device was closed again: it can be had.
  auto again = MakeSerialDeviceAt(Path());
  EXPECT_FALSE(again->Open(3));
}

// The system's own words for `code`, as the device box shows them first.
std::string SystemWords(DWORD code) {
  char text[512] = {};
  ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  std::string words(text);
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r')) words.pop_back();
  return words;
}

TEST(Win32DeviceTest, AMissingPortShowsTheSystemTextAndTheComPortsThatExist) {
  RecordingReporter reporter;
  SerialPort port(MakeSerialDeviceAt(DefaultComDevicePath(197)), SystemClock(), reporter);
  port.Initialize(197, 8192, 8192);
  EXPECT_EQ(port.Open(), 0);
  ASSERT_EQ(reporter.Boxes().size(), 1u);
  const std::string text = reporter.Boxes()[0].text;
  EXPECT_EQ(
      text.rfind(SystemWords(ERROR_FILE_NOT_FOUND) + "\nThere is no COM197 on this computer.", 0),
      0u)
      << text;
  const auto ports = ListComPorts();
  if (ports.empty()) {
    EXPECT_NE(text.find("It has no COM port."), std::string::npos) << text;
  } else {
    EXPECT_NE(text.find("Its COM ports: " + ports[0]), std::string::npos) << text;
  }
  EXPECT_TRUE(port.IsInitialized());
}

}  // namespace
}  // namespace tavlink
