// The Windows build's serial line, end to end under Wine: a pseudo-terminal
// is made here, Wine's COM5 is pointed at it, and serial_line_probe.exe
// (SerialPort over the Win32 backend) plays a scenario on COM5 while this
// test checks, from the master side, what reached the line and how the line
// was set.
//
// Needs the Windows build (scripts/build-windows) and its Wine prefix.
// TAVLINK_WINDOWS_BIN_DIR and WINEPREFIX name them (defaults: the
// build-windows folder of the source tree). Without them the tests are
// skipped, unless TAVLINK_WINE_REQUIRED is set, as the test script does.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace tavlink {
namespace {

constexpr int kPort = 5;
constexpr int kMissingPort = 39;
// Wine starts its services at the first program of a prefix: give it time.
constexpr auto kStartTime = std::chrono::seconds(60);

std::string Env(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

// A child process whose standard output is collected.
class Child {
 public:
  explicit Child(const std::vector<std::string>& argv) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      std::vector<char*> args;
      for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execvp(args[0], args.data());
      ::_exit(127);
    }
    ::close(out[1]);
    out_ = out[0];
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // The exit code, or -1 when the child did not end within `limit` (it is
  // killed then) or ended by a signal.
  int Wait(std::chrono::seconds limit = kStartTime) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0) {
      Collect(50);
      int status = 0;
      const pid_t r = ::waitpid(pid_, &status, WNOHANG);
      if (r == pid_) {
        pid_ = -1;
        Collect(0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() > end) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        return -1;
      }
    }
    return -1;
  }

  const std::string& Output() const { return output_; }

 private:
  void Collect(int waitMs) {
    pollfd p{out_, POLLIN, 0};
    while (out_ >= 0 && ::poll(&p, 1, waitMs) > 0) {
      char chunk[4096];
      const ssize_t n = ::read(out_, chunk, sizeof chunk);
      if (n <= 0) break;
      output_.append(chunk, static_cast<size_t>(n));
      waitMs = 0;
    }
  }

  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

// Long byte strings: their sizes, and where they part.
void ExpectSame(const std::string& got, const std::string& expected) {
  EXPECT_EQ(got.size(), expected.size());
  const auto [at, _] = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
  EXPECT_TRUE(got == expected) << "first difference at byte " << (at - got.begin());
}

int RunToEnd(const std::vector<std::string>& argv) {
  return Child(argv).Wait();
}

class WineSerialLineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    probe_ =
        Env("TAVLINK_WINDOWS_BIN_DIR", TAVLINK_DEFAULT_WINDOWS_BIN_DIR) + "/serial_line_probe.exe";
    const std::string prefix = Env("WINEPREFIX", TAVLINK_DEFAULT_WINEPREFIX);
    if (!std::filesystem::exists(probe_) || !std::filesystem::exists(prefix + "/system.reg")) {
      missing_ = "no Windows build or Wine prefix (" + probe_ + ", " + prefix +
                 "): run scripts/build-windows and scripts/test-windows";
      return;
    }
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    ::unsetenv("DISPLAY");

    char name[256] = {};
    ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0) << std::strerror(errno);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    // Wine's mount manager links COM<n> to the device the registry names
    // when the prefix starts: set it, and let the running server end first.
    ASSERT_EQ(RunToEnd({"wine", "reg", "add", "HKLM\\Software\\Wine\\Ports", "/v",
                        "COM" + std::to_string(kPort), "/d", name, "/f"}),
              0);
    ASSERT_EQ(RunToEnd({"wineserver", "-w"}), 0);
  }
  static void TearDownTestSuite() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
  }

  void SetUp() override {
    if (!missing_.empty()) {
      if (std::getenv("TAVLINK_WINE_REQUIRED") != nullptr) FAIL() << missing_;
      GTEST_SKIP() << missing_;
    }
    ASSERT_GE(master_, 0);
    Drain(std::chrono::milliseconds(0));  // nothing of an earlier test is left
  }

  static Child Probe(const std::string& scenario, int port = kPort) {
    return Child({"wine", probe_, scenario, std::to_string(port)});
  }

  // Exactly `n` bytes from the master, or what came before the time limit.
  static std::string ReadMaster(size_t n, std::chrono::seconds limit = kStartTime) {
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
  Child probe = Probe("line-settings");
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
  EXPECT_EQ(probe.Wait(), 0) << probe.Output();
  EXPECT_EQ(probe.Output(), "");  // no error box
}

TEST_F(WineSerialLineTest, EveryByteValueTravelsBothWaysUnchanged) {
  Child probe = Probe("bytes");
  std::string all(256, '\0');
  for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
  ASSERT_EQ(ReadMaster(256), all);
  const std::string back(all.rbegin(), all.rend());  // XON, XOFF, CR and LF among them
  WriteMaster(back);
  EXPECT_EQ(ReadMaster(256), back);
  EXPECT_EQ(probe.Wait(), 0) << probe.Output();
}

TEST_F(WineSerialLineTest, PartialReadReturnsTheFiveBytesThatCame) {
  Child probe = Probe("partial-read");
  ASSERT_EQ(ReadMaster(1), "R");
  WriteMaster("12345");
  EXPECT_EQ(probe.Wait(), 0) << probe.Output();
  EXPECT_EQ(probe.Output(), "");  // a time-out shows no box
}

// A write that returned has put its bytes on the line, and closing the port
// right after throws none of them away, even when the other side reads only
// after the program has ended.
TEST_F(WineSerialLineTest, CloseKeepsWhatWasWrittenForALateReader) {
  Child probe = Probe("late-reader");
  ASSERT_EQ(probe.Wait(), 0) << probe.Output();
  std::string sent(8192, '\0');
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 + i / 251);
  ExpectSame(Drain(), sent);
}

// The FC_ABORT of a stopped operation is followed at once by the close of
// the port: each of 200 arrives whole.
TEST_F(WineSerialLineTest, AbortFrameSentJustBeforeCloseArrivesWhole) {
  Child probe = Probe("abort-then-close");
  ASSERT_EQ(probe.Wait(std::chrono::seconds(120)), 0) << probe.Output();
  const std::string frame("EvilEyEs\x00\x02\x00\x00", 12);
  std::string expected;
  for (int i = 0; i < 200; ++i) expected += frame;
  ExpectSame(Drain(), expected);
}

TEST_F(WineSerialLineTest, CloseDropsUnreadInput) {
  Child probe = Probe("close-drops-unread-input");
  ASSERT_EQ(ReadMaster(1), "S");
  WriteMaster("stale");
  ASSERT_EQ(ReadMaster(1), "F");
  WriteMaster("fresh");
  EXPECT_EQ(probe.Wait(), 0) << probe.Output();
}

TEST_F(WineSerialLineTest, AMissingPortNamesTheComPortsThatExist) {
  Child probe = Probe("open-fails", kMissingPort);
  EXPECT_EQ(probe.Wait(), 0) << probe.Output();
  EXPECT_NE(probe.Output().find("There is no COM39 on this computer."), std::string::npos)
      << probe.Output();
  EXPECT_NE(probe.Output().find("COM5"), std::string::npos) << probe.Output();
}

}  // namespace
}  // namespace tavlink
