// SerialPort over a real pseudo-terminal pair: what the far end sees of the
// line settings, real reads with short time-outs, and exclusive use.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>

#include "link/frame.h"
#include "link/serial_port.h"
#include "support/recording_reporter.h"

namespace tavlink {
namespace {
using testing::RecordingReporter;

constexpr int kPort = 7;

class SerialPortPtyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[256] = {};
    ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0) << std::strerror(errno);
    path_ = name;
    port_ = std::make_unique<SerialPort>(MakeSerialDeviceAt(path_), SystemClock(), reporter_);
    port_->Initialize(kPort, 8192, 8192);
    ASSERT_EQ(port_->SetMode("96,n,8,1"), 1);
    port_->SetTimeout(300);
    port_->SetDriverTimeouts(0xFFFFFFFF, 0, 0, 0, 0);
  }
  void TearDown() override {
    port_->Shutdown();
    ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  // The far end goes away, as an unplugged adapter's line does.
  void HangUpFarSide() {
    ::close(master_);
    master_ = -1;
  }
  termios FarSide() const {
    termios t{};
    EXPECT_EQ(::tcgetattr(master_, &t), 0);  // a master reports its slave's settings
    return t;
  }
  static void ExpectRaw8N1(const termios& t) {
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_NE(t.c_cflag & CREAD, 0u);
  }

  int master_ = -1, slave_ = -1;
  RecordingReporter reporter_;
  std::string path_;
  std::unique_ptr<SerialPort> port_;
};

TEST_F(SerialPortPtyTest, LineRunsAt115200Then19200AfterReopen) {
  ASSERT_EQ(port_->Open(), 1) << (reporter_.Boxes().empty() ? "" : reporter_.Boxes()[0].text);
  termios t = FarSide();
  EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
  ExpectRaw8N1(t);

  EXPECT_NE(port_->Close(), 0);
  ASSERT_EQ(port_->Open(19200), 1);
  t = FarSide();
  EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B19200));
  ExpectRaw8N1(t);
  EXPECT_TRUE(reporter_.Boxes().empty());
}

TEST_F(SerialPortPtyTest, BytesTravelBothWays) {
  ASSERT_EQ(port_->Open(), 1);
  uint32_t n = 0;
  ASSERT_EQ(port_->Write("ping", 4, &n), 1);
  char far[8] = {};
  ASSERT_EQ(::read(master_, far, sizeof far), 4);
  EXPECT_EQ(std::string(far, 4), "ping");
  ASSERT_EQ(::write(master_, "pong\r\n", 6), 6);
  uint8_t buf[6];
  EXPECT_EQ(port_->Read(buf, 6, &n), 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 6), "pong\r\n");  // raw: no translation
}

TEST_F(SerialPortPtyTest, PartialReadReturnsTheFiveBytesThatCame) {
  ASSERT_EQ(port_->Open(), 1);
  ASSERT_EQ(::write(master_, "12345", 5), 5);
  uint8_t buf[12] = {};
  uint32_t got = 0;
  EXPECT_EQ(port_->Read(buf, 12, &got), 0);
  EXPECT_EQ(got, 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 5), "12345");
  EXPECT_TRUE(reporter_.Boxes().empty());
}

TEST_F(SerialPortPtyTest, SecondOpenOfAnOpenPortIsRefusedWithoutBox) {
  ASSERT_EQ(port_->Open(), 1);
  EXPECT_EQ(port_->Open(), 0);
  EXPECT_TRUE(reporter_.Boxes().empty());
}

TEST_F(SerialPortPtyTest, MissingDeviceShowsTheSystemTextAndAHint) {
  SerialPort other(MakeSerialDeviceAt("/dev/tavlink-no-such-device"), SystemClock(), reporter_);
  other.Initialize(kPort + 1, 8192, 8192);
  EXPECT_EQ(other.Open(), 0);
  ASSERT_EQ(reporter_.Boxes().size(), 1u);
  const auto box = reporter_.Boxes()[0];
  EXPECT_EQ(box.caption, "Serial Communication Device Error");
  EXPECT_EQ(box.text.rfind(std::strerror(ENOENT), 0), 0u) << box.text;
  EXPECT_NE(box.text.find("There is no device /dev/tavlink-no-such-device."), std::string::npos)
      << box.text;
  EXPECT_TRUE(other.IsInitialized());
}

TEST_F(SerialPortPtyTest, AnotherProcessIsRefusedWhileThePortIsOpen) {
  ASSERT_EQ(port_->Open(), 1);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RecordingReporter reporter;
    SerialPort other(MakeSerialDeviceAt(path_), SystemClock(), reporter);
    other.Initialize(kPort, 8192, 8192);
    const bool refused = other.Open() == 0 && reporter.Boxes().size() == 1;
    ::_exit(refused ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  // Once closed, the device can be had again.
  EXPECT_NE(port_->Close(), 0);
  SerialPort again(MakeSerialDeviceAt(path_), SystemClock(), reporter_);
  again.Initialize(kPort, 8192, 8192);
  EXPECT_EQ(again.Open(), 1);
}

// Everything the master has to read now, without waiting for more.
std::string DrainMaster(int master) {
  std::string all;
  char chunk[4096];
  for (;;) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) break;
    const ssize_t n = ::read(master, chunk, sizeof chunk);
    if (n <= 0) break;
    all.append(chunk, static_cast<size_t>(n));
  }
  return all;
}

// A write that returned has put its bytes on the line, and closing the port
// right after throws none of them away, even when the other side reads late
// and the bytes are more than its buffer holds.
TEST_F(SerialPortPtyTest, CloseKeepsWhatWasWrittenForALateReader) {
  ASSERT_EQ(port_->Open(), 1);
  std::string sent(8192, '\0');
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 + i / 251);
  uint32_t written = 0;
  ASSERT_EQ(port_->Write(sent.data(), static_cast<uint32_t>(sent.size()), &written), 1);
  EXPECT_EQ(written, sent.size());
  EXPECT_NE(port_->Close(), 0);
  EXPECT_EQ(DrainMaster(master_), sent);
  EXPECT_TRUE(reporter_.Boxes().empty());
}

// The FC_ABORT of a stop ending is followed at once by the close of the
// port: each one must arrive whole.
TEST_F(SerialPortPtyTest, AbortFrameSentJustBeforeCloseArrivesWhole) {
  constexpr int kRounds = 200;
  for (int i = 0; i < kRounds; ++i) {
    ASSERT_EQ(port_->Open(), 1);
    SendCode(*port_, FC_ABORT);
    ASSERT_NE(port_->Close(), 0);
  }
  const std::string frame("EvilEyEs\x00\x02\x00\x00", 12);
  std::string expected;
  for (int i = 0; i < kRounds; ++i) expected += frame;
  EXPECT_EQ(DrainMaster(master_), expected);
}

// Input that arrived and was not read is dropped at close: the next session
// starts with a clean line.
TEST_F(SerialPortPtyTest, CloseDropsUnreadInput) {
  ASSERT_EQ(port_->Open(), 1);
  ASSERT_EQ(::write(master_, "stale", 5), 5);
  // The port reads the slave side: wait until the bytes are there to drop.
  pollfd stale{slave_, POLLIN, 0};
  ASSERT_EQ(::poll(&stale, 1, 5000), 1) << "\"stale\" never reached the port's side";
  EXPECT_NE(port_->Close(), 0);
  ASSERT_EQ(port_->Open(), 1);
  ASSERT_EQ(::write(master_, "fresh", 5), 5);
  uint8_t buf[5];
  uint32_t got = 0;
  EXPECT_EQ(port_->Read(buf, 5, &got), 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got), "fresh");
}

// Bytes that were on the line before the port opened belong to no session
// of ours (the rest of an operation given up): a fresh port has nothing
// to read.
TEST_F(SerialPortPtyTest, OpenStartsWithNothingToRead) {
  termios raw = FarSide();
  ::cfmakeraw(&raw);  // so that "stale" is there to read without a line end
  ASSERT_EQ(::tcsetattr(slave_, TCSANOW, &raw), 0);
  ASSERT_EQ(::write(master_, "stale", 5), 5);
  pollfd stale{slave_, POLLIN, 0};
  ASSERT_EQ(::poll(&stale, 1, 5000), 1) << "\"stale\" never reached the port's side";
  ASSERT_EQ(port_->Open(), 1);
  ASSERT_EQ(::write(master_, "fresh", 5), 5);
  uint8_t buf[5];
  uint32_t got = 0;
  EXPECT_EQ(port_->Read(buf, 5, &got), 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got), "fresh");
}

using Steady = std::chrono::steady_clock;

long long MsSince(Steady::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count();
}

// More than the pseudo-terminal holds for a reader that reads nothing.
std::string LargerThanTheLineHolds() {
  std::string bytes(256 * 1024, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 + i / 509);
  return bytes;
}

// A stalled line: the write waits for it up to its time-out and fails, and
// the close after it throws away what the line never took, so that it is
// prompt (on a UART the close would otherwise wait up to 30 s for it).
TEST_F(SerialPortPtyTest, WriteToAStalledLineTimesOutAndTheCloseAfterItIsPrompt) {
  constexpr uint32_t kTimeoutMs = 1000;
  port_->SetTimeout(kTimeoutMs);
  ASSERT_EQ(port_->Open(), 1);
  const std::string sent = LargerThanTheLineHolds();
  uint32_t written = 0;
  auto start = Steady::now();
  EXPECT_EQ(port_->Write(sent.data(), static_cast<uint32_t>(sent.size()), &written), 0);
  EXPECT_GE(MsSince(start), kTimeoutMs);  // it waited for the line, up to the time-out
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, sent.size());

  start = Steady::now();
  EXPECT_NE(port_->Close(), 0);
  EXPECT_LT(MsSince(start), kTimeoutMs / 2);
  // What the line had not passed on yet is gone; what did pass is whole.
  const std::string arrived = DrainMaster(master_);
  EXPECT_LT(arrived.size(), written);
  EXPECT_EQ(arrived, sent.substr(0, arrived.size()));
  EXPECT_TRUE(reporter_.Boxes().empty());
}

// Only the write that timed out loses its rest: once a later write has
// gone through, the close keeps everything again.
TEST_F(SerialPortPtyTest, AWriteThatSucceedsAfterAStalledOneIsKeptAtClose) {
  port_->SetTimeout(300);
  ASSERT_EQ(port_->Open(), 1);
  const std::string stalled = LargerThanTheLineHolds();
  uint32_t written = 0;
  ASSERT_EQ(port_->Write(stalled.data(), static_cast<uint32_t>(stalled.size()), &written), 0);
  const std::string before = DrainMaster(master_);  // the line moves again
  ASSERT_EQ(before.size(), written);
  // More than the far side takes in before it reads, as a late reader would.
  const std::string tail = stalled.substr(1000, 8192);
  ASSERT_EQ(port_->Write(tail.data(), static_cast<uint32_t>(tail.size()), &written), 1);
  EXPECT_NE(port_->Close(), 0);
  EXPECT_EQ(DrainMaster(master_), tail);
}

// A line whose far end has gone fails a write with EIO: one box, which says
// so, and the port knows the device has gone.
TEST_F(SerialPortPtyTest, WriteAfterTheFarEndHungUpShowsOneBoxAndTheDeviceIsGone) {
  ASSERT_EQ(port_->Open(), 1);
  HangUpFarSide();
  uint32_t n = 0;
  EXPECT_EQ(port_->Write("ping", 4, &n), 0);
  EXPECT_EQ(port_->Write("ping", 4, &n), 0);
  ASSERT_EQ(reporter_.Boxes().size(), 1u);
  const std::string text = reporter_.Boxes()[0].text;
  EXPECT_EQ(text.rfind(std::strerror(EIO), 0), 0u) << text;
  EXPECT_NE(text.find(path_ + " (COM7) has gone"), std::string::npos) << text;
  EXPECT_TRUE(port_->DeviceGone());
}

// A read of a hung-up line gets nothing, as a read of a silent one does;
// the hang-up tells them apart, so the read ends at once.
TEST_F(SerialPortPtyTest, ReadAfterTheFarEndHungUpEndsAtOnceWithOneBox) {
  constexpr uint32_t kTimeoutMs = 5000;
  port_->SetTimeout(kTimeoutMs);
  ASSERT_EQ(port_->Open(), 1);
  HangUpFarSide();
  uint8_t buf[12];
  uint32_t got = 0;
  const auto start = Steady::now();
  EXPECT_EQ(port_->Read(buf, 12, &got), 0);
  EXPECT_LT(MsSince(start), kTimeoutMs / 2);
  EXPECT_EQ(reporter_.Boxes().size(), 1u);
  EXPECT_TRUE(port_->DeviceGone());
}

// A silent line that is still there is no device error.
TEST_F(SerialPortPtyTest, ReadOfASilentLineTimesOutWithoutBox) {
  ASSERT_EQ(port_->Open(), 1);
  uint8_t buf[12];
  uint32_t got = 0;
  EXPECT_EQ(port_->Read(buf, 12, &got), 0);
  EXPECT_TRUE(reporter_.Boxes().empty());
  EXPECT_FALSE(port_->DeviceGone());
}

}  // namespace
}  // namespace tavlink
