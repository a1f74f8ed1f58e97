// The Windows backend's own behaviour that needs no serial line: device
// paths, the list of COM ports, exclusive opens, the texts and kinds of
// failures, and writes bounded by their time-out on a device whose output
// does not drain. Its line itself is tested over a pseudo-terminal from the
// Linux side (tests/wine).

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "link/com_ports_win32.h"
#include "link/port_names.h"
#include "link/serial_error_win32.h"
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

using Kind = DeviceError::Kind;

// The same code means one thing while a port opens and another once it is
// open: access denied is another program's port at first, a removed
// adapter later.
TEST(Win32DeviceErrorTest, KindFollowsTheCodeAndWhenItCame) {
  constexpr auto kOpening = DeviceStage::kOpening;
  constexpr auto kInUse = DeviceStage::kInUse;
  const struct {
    DWORD code;
    DeviceStage stage;
    Kind kind;
  } rows[] = {
      {ERROR_ACCESS_DENIED, kOpening, Kind::kBusy},
      {ERROR_SHARING_VIOLATION, kOpening, Kind::kBusy},
      {ERROR_FILE_NOT_FOUND, kOpening, Kind::kNotFound},
      {ERROR_BAD_COMMAND, kOpening, Kind::kOther},
      {ERROR_ACCESS_DENIED, kInUse, Kind::kGone},
      {ERROR_BAD_COMMAND, kInUse, Kind::kGone},
      {ERROR_DEVICE_REMOVED, kInUse, Kind::kGone},
      {ERROR_DEVICE_NOT_CONNECTED, kInUse, Kind::kGone},
      {ERROR_OPERATION_ABORTED, kInUse, Kind::kOther},
      {ERROR_FILE_NOT_FOUND, kInUse, Kind::kOther},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.code) + (row.stage == kOpening ? " opening" : " in use"));
    const DeviceError e = Win32DeviceError(row.code, row.stage, "COM4", "\\\\.\\COM4");
    EXPECT_EQ(e.code, static_cast<int>(row.code));
    EXPECT_EQ(e.kind, row.kind);
  }
  const DeviceError gone = Win32DeviceError(ERROR_BAD_COMMAND, kInUse, "COM4", "COM7");
  EXPECT_EQ(gone.text, SystemWords(ERROR_BAD_COMMAND) +
                           "\nCOM7 (COM4) has gone: is its cable or adapter still plugged in?");
  // A device named directly has no port to name.
  EXPECT_EQ(Win32DeviceError(ERROR_BAD_COMMAND, kInUse, "", "COM7").text,
            SystemWords(ERROR_BAD_COMMAND) +
                "\nCOM7 has gone: is its cable or adapter still plugged in?");
}

// A device whose output never drains: a named pipe whose other end reads
// nothing. Its flush waits until that end has read everything, as a serial
// driver's flush waits until a stalled line has sent it all.
class Win32DeviceOnStalledPipeTest : public ::testing::Test {
 protected:
  static constexpr auto kTimeout = std::chrono::milliseconds(500);
  static constexpr auto kBound = std::chrono::seconds(5);

  void SetUp() override {
    name_ = "\\\\.\\pipe\\tavlink-stalled-" + std::to_string(::GetCurrentProcessId());
    server_ = ::CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                 4096, 4096, 0, nullptr);
    ASSERT_NE(server_, INVALID_HANDLE_VALUE) << ::GetLastError();
    device_ = MakeSerialDeviceAt(name_);
    ASSERT_FALSE(device_->Open(4));
  }
  void TearDown() override {
    device_.reset();
    if (server_ != INVALID_HANDLE_VALUE) ::CloseHandle(server_);
  }

  // Runs `call` and waits for it at most kBound. A call that is still
  // waiting then is released by reading the pipe, and the test fails.
  template <typename Call>
  void EndsInTime(const char* what, Call call) {
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(kBound) == std::future_status::ready) return done.get();
    ADD_FAILURE() << what << " still waits on output that cannot drain";
    std::vector<char> sink(4096);
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
      DWORD waiting = 0;
      if (!::PeekNamedPipe(server_, nullptr, 0, nullptr, &waiting, nullptr)) break;
      DWORD got = 0;
      if (waiting > 0 &&
          !::ReadFile(server_, sink.data(),
                      std::min<DWORD>(waiting, static_cast<DWORD>(sink.size())), &got, nullptr))
        break;
    }
    done.get();
  }

  std::string name_;
  HANDLE server_ = INVALID_HANDLE_VALUE;
  std::unique_ptr<SerialDevice> device_;
};

// The bytes fit the pipe, so the write itself completes; what must not
// happen is a wait for them to drain beyond the write's time-out, or at
// the close.
TEST_F(Win32DeviceOnStalledPipeTest, WriteAndCloseDoNotWaitBeyondTheTimeOut) {
  const std::string bytes(100, 'x');
  EndsInTime("the write", [this, &bytes] {
    size_t written = 0;
    bool timedOut = false;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(device_->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                kTimeout, &written, &timedOut));
    EXPECT_LE(std::chrono::steady_clock::now() - start, kTimeout + std::chrono::seconds(2));
  });
  EndsInTime("the close", [this] { EXPECT_FALSE(device_->Close()); });
}

// More than the pipe holds: the write reports its time-out at its deadline,
// and the close after it is prompt.
TEST_F(Win32DeviceOnStalledPipeTest, WriteLargerThanThePipeTimesOutAtItsDeadline) {
  const std::string bytes(256 * 1024, 'y');
  EndsInTime("the write", [this, &bytes] {
    size_t written = 0;
    bool timedOut = false;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(device_->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                kTimeout, &written, &timedOut));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(timedOut);
    EXPECT_LT(written, bytes.size());
    EXPECT_GE(took, kTimeout - std::chrono::milliseconds(20));  // the wait's own granularity
    EXPECT_LE(took, kTimeout + std::chrono::seconds(2));
  });
  EndsInTime("the close", [this] { EXPECT_FALSE(device_->Close()); });
}

}  // namespace
}  // namespace tavlink
