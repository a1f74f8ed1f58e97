// The Windows build's serial line, end to end under Wine: a pseudo-terminal
// is made here, Wine's COM5 is pointed at it, and serial_line_probe.exe
// (SerialPort over the Win32 backend) plays a scenario on COM5 while this
// test checks, from the master side, what reached the line and how the line
// was set.
//
// Needs the Windows build (scripts/build-windows) and its Wine prefix
// (support/wine_prefix.h); without them the tests are skipped, unless
// TAVLINK_WINE_REQUIRED is set, as the test script does.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "support/child_process.h"
#include "support/wine_prefix.h"

namespace tavlink {
namespace {

using testing::ChildProcess;
using testing::kWineStartTime;

constexpr int kPort = 5;
constexpr int kMissingPort = 39;

// Long byte strings: their sizes, and where they part.
void ExpectSame(const std::string& got, const std::string& expected) {
  EXPECT_EQ(got.size(), expected.size());
  const auto [at, _] = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
  EXPECT_TRUE(got == expected) << "first difference at byte " << (at - got.begin());
}

class WineSerialLineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    missing_ = testing::WineMissing({"serial_line_probe.exe"});
    if (!missing_.empty()) return;
    probe_ = testing::WindowsProgram("serial_line_probe.exe").string();
    testing::UseWinePrefix();

    char name[256] = {};
    ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0) << std::strerror(errno);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ASSERT_TRUE(testing::LeadWineComPortTo(kPort, name));
  }
  static void TearDownTestSuite() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
  }

  void SetUp() override {
    if (!missing_.empty()) {
      if (testing::WineRequired()) FAIL() << missing_;
      GTEST_SKIP() << missing_;
    }
    ASSERT_GE(master_, 0);
    Drain(std::chrono::milliseconds(0));  // nothing of an earlier test is left
  }

  static ChildProcess Probe(const std::string& scenario, int port = kPort) {
    return ChildProcess({"wine", probe_, scenario, std::to_string(port)});
  }

  // Exactly `n` bytes from the master, or what came before the time limit.
  static std::string ReadMaster(size_t n, std::chrono::seconds limit = kWineStartTime) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (got.size() < n && std::chrono::steady_clock::now() < end) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char chunk[4096];
      const ssize_t r = ::read(master_, chunk, std::min(sizeof chunk, n - got.size()));
      if (r > 0) got.append(chunk, static_cast<size_t>(r));
    }
    return got;
  }

  // Everything the master has to read until the line stays quiet for
  // `quiet`.
  static std::string Drain(std::chrono::milliseconds quiet = std::chrono::milliseconds(500)) {
    std::string all;
    for (;;) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0) break;
      char chunk[4096];
      const ssize_t n = ::read(master_, chunk, sizeof chunk);
      if (n <= 0) break;
      all.append(chunk, static_cast<size_t>(n));
    }
    return all;
  }

  static void WriteMaster(const std::string& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  static termios FarSide() {
    termios t{};
    EXPECT_EQ(::tcgetattr(master_, &t), 0);  // a master reports its slave's settings
    return t;
  }

  static void ExpectRaw8N1WithoutXonXoff(const termios& t) {
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_NE(t.c_cflag & CREAD, 0u);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
  }

  static inline std::string probe_;
  static inline std::string missing_;
  static inline int master_ = -1;
  static inline int slave_ = -1;  // held, so that the line stays up between programs
};

TEST_F(WineSerialLineTest, LineRunsAt115200Then19200AfterReopen) {
  ChildProcess probe = Probe("line-settings");
  ASSERT_EQ(ReadMaster(1), "A");
  termios t = FarSide();
  EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
  ExpectRaw8N1WithoutXonXoff(t);
  WriteMaster("B");

  ASSERT_EQ(ReadMaster(1), "C");
  t = FarSide();
  EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B19200));
  ExpectRaw8N1WithoutXonXoff(t);
  WriteMaster("D");
  EXPECT_EQ(probe.Wait(kWineStartTime), 0) << probe.Output();
  EXPECT_EQ(probe.Output(), "");  // no error box
}

TEST_F(WineSerialLineTest, EveryByteValueTravelsBothWaysUnchanged) {
  ChildProcess probe = Probe("bytes");
  std::string all(256, '\0');
  for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
  ASSERT_EQ(ReadMaster(256), all);
  const std::string back(all.rbegin(), all.rend());  // XON, XOFF, CR and LF among them
  WriteMaster(back);
  EXPECT_EQ(ReadMaster(256), back);
  EXPECT_EQ(probe.Wait(kWineStartTime), 0) << probe.Output();
}

TEST_F(WineSerialLineTest, PartialReadReturnsTheFiveBytesThatCame) {
  ChildProcess probe = Probe("partial-read");
  ASSERT_EQ(ReadMaster(1), "R");
  WriteMaster("12345");
  EXPECT_EQ(probe.Wait(kWineStartTime), 0) << probe.Output();
  EXPECT_EQ(probe.Output(), "");  // a time-out shows no box
}

// A write that returned has put its bytes on the line, and closing the port
// right after throws none of them away, even when the other side reads only
// after the program has ended.
TEST_F(WineSerialLineTest, CloseKeepsWhatWasWrittenForALateReader) {
  ChildProcess probe = Probe("late-reader");
  ASSERT_EQ(probe.Wait(kWineStartTime), 0) << probe.Output();
  std::string sent(8192, '\0');
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 + i / 251);
  ExpectSame(Drain(), sent);
}

// The FC_ABORT of a stopped operation is followed at once by the close of
// the port: each of 200 arrives whole.
TEST_F(WineSerialLineTest, AbortFrameSentJustBeforeCloseArrivesWhole) {
  ChildProcess probe = Probe("abort-then-close");
  ASSERT_EQ(probe.Wait(std::chrono::seconds(120)), 0) << probe.Output();
  const std::string frame("EvilEyEs\x00\x02\x00\x00", 12);
  std::string expected;
  for (int i = 0; i < 200; ++i) expected += frame;
  ExpectSame(Drain(), expected);
}

TEST_F(WineSerialLineTest, CloseDropsUnreadInput) {
  ChildProcess probe = Probe("close-drops-unread-input");
  ASSERT_EQ(ReadMaster(1), "S");
  WriteMaster("stale");
  ASSERT_EQ(ReadMaster(1), "F");
  WriteMaster("fresh");
  EXPECT_EQ(probe.Wait(kWineStartTime), 0) << probe.Output();
}

TEST_F(WineSerialLineTest, AMissingPortNamesTheComPortsThatExist) {
  ChildProcess probe = Probe("open-fails", kMissingPort);
  EXPECT_EQ(probe.Wait(kWineStartTime), 0) << probe.Output();
  EXPECT_NE(probe.Output().find("There is no COM39 on this computer."), std::string::npos)
      << probe.Output();
  EXPECT_NE(probe.Output().find("COM5"), std::string::npos) << probe.Output();
}

}  // namespace
}  // namespace tavlink
