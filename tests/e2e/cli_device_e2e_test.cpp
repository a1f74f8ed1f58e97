// tavlink-cli against tavlink-sim over a pseudo-terminal, in real time:
// every operation once, and one fault of each kind.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "support/cli_process.h"
#include "support/e2e_fixture.h"
#include "support/sim_process.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::CliProcess;
using testing::CliResult;
using testing::ReadBytes;
using testing::RunCli;
using testing::SimProcess;

class CliDeviceTest : public testing::EndToEndTest {
 protected:
  CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--device", sim_->DevicePath()});
    return RunCli(args, dir_);
  }
  fs::path Path(const std::string& name) const { return dir_ / name; }
  static std::string Sample() { return ReadBytes(testing::SampleDataText()); }
  // The simulator reports any frame that arrived under wrong line settings.
  void ExpectLineSettingsRight() {
    EXPECT_EQ(sim_->Stderr().find("line settings wrong"), std::string::npos) << sim_->Stderr();
  }
};

TEST_F(CliDeviceTest, ConnectPrintsBothVersions) {
  StartSim({"--software", "SW 2.00.17", "--hardware", "HW rev C"});
  const CliResult r = Cli({"connect"});
  EXPECT_EQ(r.status, 0) << r.err;
  // Standard output carries the result only; the session's window goes to
  // standard error.
  EXPECT_EQ(r.out, "Software version: SW 2.00.17\nHardware version: HW rev C\n");
  EXPECT_NE(r.err.find("Connect to the receiver\nConnecting...\n"), std::string::npos) << r.err;
  ExpectLineSettingsRight();
}

TEST_F(CliDeviceTest, ReadUserDataSwitchesTo19200AndSavesTheReceiversText) {
  StartSim();
  const CliResult r = Cli({"--yes", "read-user-data", Path("user.txt").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Downloading...   block 32/32   error 0"), std::string::npos) << r.err;
  // The simulator serves the sample data; the file written is that text.
  EXPECT_EQ(ReadBytes(Path("user.txt")), Sample());
  ExpectLineSettingsRight();
}

// The final FC_ACK of a read is the last thing sent before the port
// closes; the receiver must get it whole, or the next session meets a stray
// byte in front of its request.
TEST_F(CliDeviceTest, TwoReadsBackToBackBothEndCleanly) {
  StartSim();
  for (const char* name : {"first.txt", "second.txt"}) {
    const CliResult r = Cli({"--yes", "read-user-data", Path(name).string()});
    ASSERT_EQ(r.status, 0) << name << "\n" << r.err;
    EXPECT_EQ(ReadBytes(Path(name)), Sample()) << name;
  }
  // The receiver reports a read only once the PC acknowledged its end code.
  const std::string log = sim_->Stderr();
  size_t reads = 0;
  for (size_t at = log.find("user data sent"); at != std::string::npos;
       at = log.find("user data sent", at + 1))
    ++reads;
  EXPECT_EQ(reads, 2u) << log;
  EXPECT_EQ(log.find("bad frame magic"), std::string::npos) << log;
  ExpectLineSettingsRight();
}

TEST_F(CliDeviceTest, FactoryDataWrittenIsWhatALaterReadReturns) {
  StartSim();
  const std::string text =
      "# one satellite, two transponders, two services\r\n"
      "a 3\r\n"
      "s \"TEST SAT\" 9750 10600 u 28.2 e b 22 n 18\r\n"
      "t 11720 27500 h 0 18 0 3/4\r\n"
      "t 12603 22000 v 22 14 12 auto\r\n"
      "v \"TEST TV\" 1 1 101 511 512 511 0 0 1 0\r\n"
      "r \"TEST RADIO\" 1 2 102 0 600 600 0 0 0 1\r\n";
  std::ofstream(Path("factory.txt"), std::ios::binary) << text;
  // The writer's form of the same data, to compare the read-back with.
  ASSERT_EQ(Cli({"text-to-block", Path("factory.txt").string(), Path("f.bin").string()}).status, 0);
  ASSERT_EQ(Cli({"block-to-text", Path("f.bin").string(), Path("expected.txt").string()}).status,
            0);

  const CliResult write = Cli({"write-factory-data", Path("factory.txt").string()});
  ASSERT_EQ(write.status, 0) << write.err;
  EXPECT_NE(write.err.find("Transfer Complete..."), std::string::npos) << write.err;
  // What goes where before it goes, and what was done after.
  EXPECT_EQ(
      write.err.rfind("tavlink-cli: sending the factory data of " + Path("factory.txt").string() +
                          " (1 satellite, 2 transponders, 2 services, antenna "
                          "configuration 3) to " +
                          sim_->DevicePath() + ".\n",
                      0),
      0u)
      << write.err;
  EXPECT_TRUE(std::regex_match(write.out, std::regex("Wrote factory data \\(32 blocks\\) in "
                                                     "(3[4-9]|[4-9][0-9])\\.[0-9] s\n")))
      << write.out;
  const CliResult read = Cli({"--yes", "read-user-data", Path("back.txt").string()});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "Saved 1 satellite, 2 transponders and 2 services to " +
                          Path("back.txt").string() + "\n");
  EXPECT_EQ(ReadBytes(Path("back.txt")), ReadBytes(Path("expected.txt")));
  ExpectLineSettingsRight();
}

TEST_F(CliDeviceTest, UpgradeSendsTheImageBehindTheHeader) {
  StartSim({"--rom-out", Path("received.bin").string(), "--ready-delay", "0.2"});
  std::string image;
  for (int i = 0; i < 6000; ++i) image += static_cast<char>((i * 37) & 0xFF);
  std::ofstream(Path("rom.bin"), std::ios::binary) << "ZOR Digital Satellite Receiver ROM image"
                                                   << "v1" << image;
  const CliResult r = Cli({"upgrade", Path("rom.bin").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Uploading...   block 2/2   error 0"), std::string::npos) << r.err;
  EXPECT_TRUE(std::regex_match(r.out, std::regex("Upgraded from " + Path("rom.bin").string() +
                                                 " \\(6,000 bytes\\) in [0-9]+\\.[0-9] s\n")))
      << r.out;
  EXPECT_EQ(ReadBytes(Path("received.bin")), image);
}

TEST_F(CliDeviceTest, UpgradeWithAWrongSignatureSendsNothing) {
  StartSim();
  std::ofstream(Path("rom.bin"), std::ios::binary) << "ZOR DIGITAL SATELLITE RECEIVER ROM IMAGE"
                                                   << "v1" << std::string(100, 'x');
  const CliResult r = Cli({"--trace", "upgrade", Path("rom.bin").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Wrong ROM image. Retry."), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("PC -> RX"), std::string::npos) << r.err;
}

TEST_F(CliDeviceTest, BackupThenRestoreRoundTrips) {
  StartSim();
  const CliResult backup = Cli({"backup", Path("user.bak").string()});
  ASSERT_EQ(backup.status, 0) << backup.err;
  EXPECT_NE(backup.err.find("User data backuped successfully."), std::string::npos);
  const std::string file = ReadBytes(Path("user.bak"));
  ASSERT_EQ(file.size(), 4u + 65536u);
  EXPECT_EQ(file.substr(0, 4), std::string("\x00\x01\x00\x00", 4));
  EXPECT_EQ(file.substr(4, 8), "evileyes");

  const CliResult restore = Cli({"restore", Path("user.bak").string()});
  EXPECT_EQ(restore.status, 0) << restore.err;
  EXPECT_NE(restore.err.find("User data restored successfully."), std::string::npos);
}

TEST_F(CliDeviceTest, CorruptFrameIsAskedForAgain) {
  StartSim({"--corrupt-frame", "3"});
  const CliResult r = Cli({"--yes", "read-user-data", Path("user.txt").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Downloading...   block 2/32   err.count 1"), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(Path("user.txt")), Sample());
}

TEST_F(CliDeviceTest, NakFromTheReceiverSendsTheFrameAgain) {
  StartSim();
  ASSERT_EQ(Cli({"backup", Path("user.bak").string()}).status, 0);
  sim_.reset();
  StartSim({"--nak-frame", "2"});
  const CliResult r = Cli({"restore", Path("user.bak").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Uploading...   block 1/17   err.count 1"), std::string::npos) << r.err;
}

// A data text without a single record would empty the receiver: without a
// terminal to ask on it is refused unless --yes says so.
TEST_F(CliDeviceTest, EmptyFactoryDataIsRefusedWithoutTerminalUnlessConfirmed) {
  StartSim({"--ready-delay", "0.1"});
  std::ofstream(Path("empty.txt"), std::ios::binary) << "# nothing at all\r\na 3\r\n";
  const CliResult refused = Cli({"write-factory-data", Path("empty.txt").string()});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("holds no satellite, transponder or service"), std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("--yes"), std::string::npos) << refused.err;
  EXPECT_EQ(sim_->Stderr().find("PC -> RX"), std::string::npos) << "nothing was sent";

  // Confirmed, it goes; --timeout then ends it through its stop ending.
  const CliResult confirmed =
      Cli({"--yes", "--timeout", "1", "write-factory-data", Path("empty.txt").string()});
  EXPECT_EQ(confirmed.status, 3) << confirmed.err;
  EXPECT_NE(confirmed.err.find("the --timeout of 1 s is up"), std::string::npos) << confirmed.err;
  EXPECT_NE(confirmed.err.find("Closing Connection..."), std::string::npos) << confirmed.err;
  EXPECT_EQ(confirmed.out, "");
  EXPECT_TRUE(SimSaid("the PC aborted")) << sim_->Stderr();
}

TEST_F(CliDeviceTest, StoppedReadKeepsTheExistingFile) {
  StartSim();
  std::ofstream(Path("user.txt"), std::ios::binary) << "keep me";
  CliProcess cli(
      {"--device", sim_->DevicePath(), "--yes", "read-user-data", Path("user.txt").string()}, dir_);
  ASSERT_TRUE(
      testing::WaitUntil([&] { return cli.ErrSoFar().find("block 3/32") != std::string::npos; },
                         std::chrono::seconds(20)))
      << cli.ErrSoFar();
  cli.Signal(SIGINT);
  const CliResult r = cli.Wait();
  EXPECT_EQ(r.status, 130) << r.out << r.err;
  EXPECT_NE(r.err.find("Closing Connection..."), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(Path("user.txt")), "keep me");
}

TEST_F(CliDeviceTest, MissingDeviceIsReportedWithTheSystemText) {
  const CliResult r = RunCli({"--device", "/dev/tavlink-none", "connect"}, dir_);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Serial Communication Device Error: No such file or directory"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("ERROR: Open error"), std::string::npos) << r.err;

  // A port mapped to a missing device says where the port led and how to
  // choose another.
  const CliResult mapped =
      RunCli({"--port", "3", "connect"}, dir_, {{"TAVLINK_COM3", "/dev/tavlink-none"}});
  EXPECT_EQ(mapped.status, 1);
  EXPECT_NE(mapped.err.find("COM3 opens /dev/tavlink-none (environment TAVLINK_COM3)"),
            std::string::npos)
      << mapped.err;
}

// Without --port or --device the command line uses the port the desktop
// tool stored, and the device stored for that port.
TEST_F(CliDeviceTest, StoredPortAndItsDeviceAreUsedWithoutOptions) {
  if (RunCli({"--help"}, dir_).out.find("no settings in this build") != std::string::npos)
    GTEST_SKIP() << "tavlink-cli is built without a settings store";
  StartSim({"--software", "SW stored"});
  const fs::path config = Path("config");
  fs::create_directories(config / "ZOR");
  std::ofstream(config / "ZOR" / "ZORLINK.conf")
      << "[General]\nPort=2\n\n[Devices]\nCOM2=" << sim_->DevicePath() << "\n";
  const testing::Environment env = {{"XDG_CONFIG_HOME", config.string()}, {"TAVLINK_COM2", ""}};
  const CliResult r = RunCli({"connect"}, dir_, env);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Software version: SW stored"), std::string::npos) << r.out;

  // No port stored, or 0 (none chosen): say how to choose one.
  std::ofstream(config / "ZOR" / "ZORLINK.conf") << "[General]\nPort=0\n";
  const CliResult none = RunCli({"connect"}, dir_, env);
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("--port N"), std::string::npos) << none.err;
  EXPECT_NE(none.err.find("--device PATH"), std::string::npos) << none.err;
  fs::remove(config / "ZOR" / "ZORLINK.conf");
  EXPECT_EQ(RunCli({"connect"}, dir_, env).status, 2);
}

TEST_F(CliDeviceTest, BadUsageExitsWithTwo) {
  EXPECT_EQ(RunCli({"connect", "--bogus"}, dir_).status, 2);
  EXPECT_EQ(RunCli({"upgrade"}, dir_).status, 2);
  // One line named twice cannot serve two receivers.
  const CliResult twice =
      RunCli({"--device", "/dev/null", "--device", "/dev/null", "connect"}, dir_);
  EXPECT_EQ(twice.status, 2);
  EXPECT_NE(twice.err.find("are the same line"), std::string::npos) << twice.err;
  EXPECT_EQ(RunCli({"--device", "/dev/null", "--device", "/dev/zero", "backup", "b"}, dir_).status,
            2);
  const CliResult missing = RunCli({"--device", "/dev/null", "restore", "/nonexistent/x"}, dir_);
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace tavlink
