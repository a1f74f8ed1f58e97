// tavlink-cli.exe under Wine against tavlink-sim, in real time: Wine's COM7
// leads to a link that each simulator makes to its pseudo-terminal, and the
// Windows command line runs `--port 7 ...` as a technician would on
// Windows. Every device operation once where it differs from Linux (the
// Win32 line, the console's interrupts, the Windows file side), the
// offline commands, and the port settings in the registry.
//
// Needs the Windows build (scripts/build-windows), its Wine prefix and the
// Linux simulator (support/wine_prefix.h); without them the tests are
// skipped, unless TAVLINK_WINE_REQUIRED is set, as the test script does.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/paths.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"
#include "support/wine_prefix.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::ChildProcess;
using testing::ReadBytes;
using testing::WindowsPath;
using testing::WriteBytes;

constexpr int kPort = 7;
// The factory write alone takes 37 s of the protocol's own pauses.
constexpr auto kLongest = std::chrono::seconds(120);

// Console output of a Windows program, with its CR LF line ends as LF.
std::string Lines(std::string text) {
  std::erase(text, '\r');
  return text;
}

// tavlink-cli.exe on a pseudo-terminal of its own, where Wine gives it a
// console: what the console shows, and keys typed on it. Wine draws the
// console with escape sequences and moves the cursor over blanks, so the
// text is compared without them and without spaces.
class ConsoleProcess {
 public:
  explicit ConsoleProcess(const std::vector<std::string>& argv) {
    winsize size{};
    size.ws_row = 25;
    size.ws_col = 80;
    pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      std::vector<char*> args;
      for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execvp(args[0], args.data());
      ::_exit(127);
    }
    if (master_ >= 0) ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~ConsoleProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  ConsoleProcess(const ConsoleProcess&) = delete;
  ConsoleProcess& operator=(const ConsoleProcess&) = delete;

  // Waits until `text` (without spaces) has been shown after `from` (an
  // offset in Shown()); false after `limit`.
  bool WaitFor(const std::string& text, size_t from = 0,
               std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (Shown().find(text, from) == std::string::npos) {
      if (std::chrono::steady_clock::now() > end) return false;
      Drain(50);
    }
    return true;
  }
  void Type(const std::string& keys) { (void)!::write(master_, keys.data(), keys.size()); }
  void Signal(int sig) {
    if (pid_ > 0) ::kill(pid_, sig);
  }
  // The exit status, or 128 + signal; -1 when the program did not start
  // or did not end within `limit`.
  int Wait(std::chrono::seconds limit) {
    if (pid_ <= 0) return -1;
    const auto end = std::chrono::steady_clock::now() + limit;
    int raw = 0;
    while (::waitpid(pid_, &raw, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > end) return -1;
      Drain(50);
    }
    pid_ = -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }

  // What the console showed so far: its text without escape sequences,
  // spaces and line ends.
  std::string Shown() {
    Drain(0);
    std::string text;
    for (size_t i = 0; i < raw_.size(); ++i) {
      if (raw_[i] == '\033' && i + 1 < raw_.size() && raw_[i + 1] == '[') {
        i += 2;
        while (i < raw_.size() && !std::isalpha(static_cast<unsigned char>(raw_[i]))) ++i;
        continue;
      }
      if (raw_[i] != ' ' && raw_[i] != '\r' && raw_[i] != '\n') text += raw_[i];
    }
    return text;
  }

 private:
  void Drain(int waitMs) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0) return;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(master_, chunk, sizeof chunk)) > 0)
      raw_.append(chunk, static_cast<size_t>(n));
  }

  pid_t pid_ = -1;
  int master_ = -1;
  std::string raw_;
};

struct CliRun {
  int status = -1;
  std::string out;  // line ends as LF
  std::string err;
};

class WineCliTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    missing_ = testing::WineMissing({"tavlink-cli.exe"});
    if (missing_.empty() && !fs::exists(testing::BinDir() / "tavlink-sim"))
      missing_ = "no " + (testing::BinDir() / "tavlink-sim").string() + " (the Linux build)";
    if (!missing_.empty()) return;
    testing::UseWinePrefix();
    folder_ = std::make_unique<testing::TempFolder>();
    ASSERT_FALSE(folder_->path().empty());
    // COM7 leads to a link that does not exist yet: each test's simulator
    // makes it, to its own pseudo-terminal.
    ASSERT_TRUE(testing::LeadWineComPortTo(kPort, Link()));
  }
  static void TearDownTestSuite() { folder_.reset(); }

  void SetUp() override {
    if (!missing_.empty()) {
      if (testing::WineRequired()) FAIL() << missing_;
      GTEST_SKIP() << missing_;
    }
    dir_ = folder_->path() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (HasFailure() && sim_) ADD_FAILURE() << "simulator log:\n" << sim_->Stderr();
    sim_.reset();
  }

  // Starts a simulator with `args` and waits until it serves COM7.
  void StartSim(std::vector<std::string> args = {}) {
    sim_.reset();  // ended with SIGTERM, it removes its link
    args.insert(args.begin(), {"--log", "--link", Link()});
    sim_ = std::make_unique<testing::SimProcess>(args);
    ASSERT_FALSE(sim_->DevicePath().empty());
  }
  static std::string Link() { return folder_->File("com7"); }

  // Waits (at most 20 s) until the simulator has reported `text`.
  bool SimSaid(const std::string& text) {
    return testing::WaitUntil([&] { return sim_->Stderr().find(text) != std::string::npos; },
                              std::chrono::seconds(20));
  }
  void ExpectLineSettingsRight() {
    EXPECT_EQ(sim_->Stderr().find("line settings wrong"), std::string::npos) << sim_->Stderr();
  }

  static std::vector<std::string> Command(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"wine", testing::WindowsProgram("tavlink-cli.exe").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
  }
  CliRun Cli(const std::vector<std::string>& args,
             const std::vector<std::pair<std::string, std::string>>& environment = {}) {
    ChildProcess cli(Command(args), environment, dir_.string());
    CliRun run;
    run.status = cli.Wait(kLongest);
    run.out = Lines(cli.Output());
    run.err = Lines(cli.Errors());
    return run;
  }
  CliRun OnPort(std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", std::to_string(kPort)});
    return Cli(args);
  }

  fs::path Path(const std::string& name) const { return dir_ / name; }
  std::string Win(const std::string& name) const { return WindowsPath(Path(name)); }
  static std::string Sample() { return ReadBytes(testing::SampleDataText()); }

  static inline std::string missing_;
  static inline std::unique_ptr<testing::TempFolder> folder_;
  fs::path dir_;
  std::unique_ptr<testing::SimProcess> sim_;
};

TEST_F(WineCliTest, ConnectPrintsBothVersions) {
  StartSim({"--software", "SW 2.00.17", "--hardware", "HW rev C"});
  const CliRun r = OnPort({"connect"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Software version: SW 2.00.17\nHardware version: HW rev C\n"),
            std::string::npos)
      << r.out;
  ExpectLineSettingsRight();
}

TEST_F(WineCliTest, ReadUserDataAt19200SavesTheReceiversTextByteForByte) {
  StartSim();
  const CliRun r = OnPort({"--yes", "read-user-data", Win("user.txt")});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.err.find("Downloading...   block 32/32   error 0"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Saved 3 satellites, 9 transponders and 16 services to "), std::string::npos)
      << r.out;
  EXPECT_EQ(ReadBytes(Path("user.txt")), Sample());
  EXPECT_TRUE(SimSaid("user data sent"));
  ExpectLineSettingsRight();  // the simulator checks the rate of each frame
}

// The offline commands make the writer's form of the text to compare with.
TEST_F(WineCliTest, FactoryDataWrittenIsWhatALaterReadReturns) {
  StartSim();
  WriteBytes(Path("factory.txt"),
             "# one satellite, two transponders, two services\r\n"
             "a 3\r\n"
             "s \"TEST SAT\" 9750 10600 u 28.2 e b 22 n 18\r\n"
             "t 11720 27500 h 0 18 0 3/4\r\n"
             "t 12603 22000 v 22 14 12 auto\r\n"
             "v \"TEST TV\" 1 1 101 511 512 511 0 0 1 0\r\n"
             "r \"TEST RADIO\" 1 2 102 0 600 600 0 0 0 1\r\n");
  ASSERT_EQ(Cli({"text-to-block", Win("factory.txt"), Win("f.bin")}).status, 0);
  ASSERT_EQ(ReadBytes(Path("f.bin")).size(), 65536u);
  ASSERT_EQ(Cli({"block-to-text", Win("f.bin"), Win("expected.txt")}).status, 0);

  const CliRun write = OnPort({"write-factory-data", Win("factory.txt")});
  ASSERT_EQ(write.status, 0) << write.out << write.err;
  EXPECT_NE(write.err.find("Transfer Complete..."), std::string::npos) << write.err;
  EXPECT_NE(write.out.find("Wrote factory data (32 blocks) in "), std::string::npos) << write.out;
  const CliRun read = OnPort({"--yes", "read-user-data", Win("back.txt")});
  ASSERT_EQ(read.status, 0) << read.out << read.err;
  EXPECT_EQ(ReadBytes(Path("back.txt")), ReadBytes(Path("expected.txt")));
  ExpectLineSettingsRight();
}

TEST_F(WineCliTest, UpgradeSendsTheImageBehindTheHeader) {
  StartSim({"--rom-out", Path("received.bin").string(), "--ready-delay", "0.2"});
  std::string image;
  for (int i = 0; i < 6000; ++i) image += static_cast<char>((i * 37) & 0xFF);
  WriteBytes(Path("rom.bin"),
             "ZOR Digital Satellite Receiver ROM image" + std::string("v1") + image);
  const CliRun r = OnPort({"upgrade", Win("rom.bin")});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.err.find("Uploading...   block 2/2   error 0"), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(Path("received.bin")), image);
}

// Ctrl-C (which Wine turns a SIGINT into) is the Cancel button: the
// receiver gets its whole FC_ABORT, the existing file stays as it was, and
// nothing is left beside it.
TEST_F(WineCliTest, StoppedReadExits130AndKeepsTheExistingFile) {
  StartSim({"--pace"});
  fs::create_directories(Path("out"));
  WriteBytes(Path("out") / "user.txt", "keep me");
  ChildProcess cli(Command({"--port", std::to_string(kPort), "--yes", "read-user-data",
                            WindowsPath(Path("out") / "user.txt")}),
                   {}, dir_.string());
  ASSERT_TRUE(cli.WaitForErrors("block 3/32", std::chrono::seconds(60))) << cli.Errors();
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Wait(std::chrono::seconds(60)), 130) << cli.Output() << cli.Errors();
  EXPECT_NE(Lines(cli.Errors()).find("Closing Connection..."), std::string::npos) << cli.Errors();
  EXPECT_EQ(ReadBytes(Path("out") / "user.txt"), "keep me");
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("out")), fs::directory_iterator()), 1);
  EXPECT_TRUE(SimSaid("the PC aborted"));
}

// On a console the upgrade asks before it stops; the upload goes on while
// the question is open, and Yes stops it with a whole FC_ABORT.
TEST_F(WineCliTest, UpgradeAsksOnTheConsoleBeforeItStops) {
  StartSim({"--ready-delay", "0.2"});
  std::string image(6 * 4080, 'i');
  WriteBytes(Path("rom.bin"),
             "ZOR Digital Satellite Receiver ROM image" + std::string("v1") + image);
  ConsoleProcess cli(Command({"--port", std::to_string(kPort), "upgrade", Win("rom.bin")}));
  ASSERT_TRUE(cli.WaitFor("block1/7")) << cli.Shown();
  // The live line is drawn in place: its bar grows within one line.
  EXPECT_NE(cli.Shown().find("[###"), std::string::npos) << cli.Shown();
  cli.Signal(SIGINT);
  ASSERT_TRUE(cli.WaitFor("Youwanttostoptheupgradeprocedure?[y/N]")) << cli.Shown();
  const size_t asked = cli.Shown().size();
  EXPECT_TRUE(cli.WaitFor("block3/7", asked, std::chrono::seconds(10))) << cli.Shown();
  cli.Type("y\r");
  EXPECT_EQ(cli.Wait(std::chrono::seconds(60)), 130) << cli.Shown();
  EXPECT_NE(cli.Shown().find("ClosingConnection..."), std::string::npos) << cli.Shown();
  EXPECT_TRUE(SimSaid("the PC aborted"));
}

// The third Ctrl-C does not wait for the session: the program leaves at
// once and removes its temporary file.
TEST_F(WineCliTest, ThreeInterruptsLeaveAtOnceAndRemoveTheTemporaryFile) {
  StartSim({"--drop-after", "3"});  // the transfer then waits 20 s for a frame
  fs::create_directories(Path("out"));
  WriteBytes(Path("out") / "user.bak", "keep me");
  const auto start = std::chrono::steady_clock::now();
  ChildProcess cli(
      Command({"--port", std::to_string(kPort), "backup", WindowsPath(Path("out") / "user.bak")}),
      {}, dir_.string());
  ASSERT_TRUE(cli.WaitForErrors("block 3/17", std::chrono::seconds(60))) << cli.Errors();
  ASSERT_EQ(std::distance(fs::directory_iterator(Path("out")), fs::directory_iterator()), 2)
      << "the backup goes to a temporary file";
  for (int i = 0; i < 3; ++i) {
    cli.Signal(SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // each one delivered
  }
  EXPECT_EQ(cli.Wait(std::chrono::seconds(60)), 130) << cli.Output() << cli.Errors();
  EXPECT_NE(cli.Errors().find("tavlink-cli: stopped at once."), std::string::npos) << cli.Errors();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  EXPECT_EQ(ReadBytes(Path("out") / "user.bak"), "keep me");
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("out")), fs::directory_iterator()), 1);
}

TEST_F(WineCliTest, MissingPortNamesTheComPortsThatExist) {
  const CliRun r = Cli({"--port", "39", "connect"});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.err.find("There is no COM39 on this computer."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("COM7"), std::string::npos) << r.err;  // among the ports that exist
  EXPECT_NE(r.err.find("ERROR: Open error"), std::string::npos) << r.err;

  const CliRun ports = Cli({"ports"});
  EXPECT_EQ(ports.status, 0) << ports.err;
  EXPECT_NE(ports.out.find("  COM7"), std::string::npos) << ports.out;
}

TEST_F(WineCliTest, OfflineCommandsCheckAndRefuseFiles) {
  const CliRun check = Cli({"check", WindowsPath(testing::SampleDataText())});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_NE(check.out.find(" satellites, "), std::string::npos) << check.out;

  WriteBytes(Path("bad.txt"), "a 1\r\na 1\r\n");
  const CliRun bad = Cli({"check", Win("bad.txt")});
  EXPECT_EQ(bad.status, 6);
  EXPECT_NE(bad.err.find("line 2"), std::string::npos) << bad.err;

  WriteBytes(Path("short.bin"), std::string(100, 'x'));
  const CliRun cut = Cli({"block-to-text", Win("short.bin"), Win("short.txt")});
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.err.find("it holds 100 bytes"), std::string::npos) << cut.err;
  EXPECT_FALSE(fs::exists(Path("short.txt")));

  // An output that is the input is refused, and the file stays.
  const std::string text = Sample();
  WriteBytes(Path("same.txt"), text);
  const CliRun same = Cli({"text-to-block", Win("same.txt"), Win("same.txt")});
  EXPECT_EQ(same.status, 2);
  EXPECT_EQ(ReadBytes(Path("same.txt")), text);
  EXPECT_EQ(Cli({"check", Win("missing.txt")}).status, 2);
}

// The help names the Windows device of a port and the registry, none of
// the Linux names.
TEST_F(WineCliTest, HelpNamesTheComDeviceAndTheRegistry) {
  const CliRun help = Cli({"--help"});
  EXPECT_EQ(help.status, 0) << help.err;
  for (const char* text : {"TAVLINK_COM<n>", "the system's own (\\\\.\\COM<n>)",
                           "HKEY_CURRENT_USER\\SOFTWARE\\ZOR\\ZORLINK (a value the user has not "
                           "set is read from HKEY_LOCAL_MACHINE)"})
    EXPECT_NE(help.out.find(text), std::string::npos) << text << "\n" << help.out;
  for (const char* linuxName : {"/dev/tty", "XDG", ".conf"})
    EXPECT_EQ(help.out.find(linuxName), std::string::npos) << linuxName << "\n" << help.out;
}

// Without --port the command line takes the port that the desktop tool
// stored in the registry, and the device stored for it; the environment
// wins over the stored device. --device names a port directly.
TEST_F(WineCliTest, StoredPortAndDeviceComeFromTheRegistry) {
  StartSim({"--software", "SW stored"});
  const std::string key = "HKCU\\Software\\ZOR\\ZORLINK";
  ASSERT_EQ(testing::RunWineTool(
                {"wine", "reg", "add", key, "/v", "Port", "/t", "REG_DWORD", "/d", "4", "/f"}),
            0);
  ASSERT_EQ(testing::RunWineTool({"wine", "reg", "add", key + "\\Devices", "/v", "COM4", "/d",
                                  "COM" + std::to_string(kPort), "/f"}),
            0);
  const CliRun stored = Cli({"connect"});
  const CliRun environment = Cli({"connect"}, {{"TAVLINK_COM4", "COM39"}});
  testing::RunWineTool({"wine", "reg", "delete", "HKCU\\Software\\ZOR", "/f"});
  const CliRun device = Cli({"--device", "COM" + std::to_string(kPort), "connect"});

  EXPECT_EQ(stored.status, 0) << stored.out << stored.err;
  EXPECT_NE(stored.out.find("Software version: SW stored"), std::string::npos) << stored.out;
  EXPECT_EQ(environment.status, 1);
  EXPECT_NE(environment.err.find("COM4 opens COM39 (environment TAVLINK_COM4)"), std::string::npos)
      << environment.err;
  EXPECT_EQ(device.status, 0) << device.out << device.err;
  EXPECT_NE(device.out.find("Software version: SW stored"), std::string::npos) << device.out;
}

}  // namespace
}  // namespace tavlink
