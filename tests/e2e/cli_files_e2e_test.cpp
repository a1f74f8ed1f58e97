// tavlink-cli's files against tavlink-sim over a pseudo-terminal, in real
// time: an existing file survives a failed, stopped or interrupted transfer
// byte for byte, outputs are written through links and keep their mode, and
// unusable inputs are refused before anything is sent.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/cli_process.h"
#include "support/deep_folder.h"
#include "support/e2e_fixture.h"
#include "support/sim_process.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::CliProcess;
using testing::CliResult;
using testing::MakeFolderOfLength;
using testing::ReadBytes;
using testing::RunCli;
using testing::SimProcess;

// What a technician's earlier backup might hold: every byte value.
std::string PreciousBytes() {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 7 + 3) & 0xFF);
  return bytes;
}

class CliFilesTest : public testing::EndToEndTest {
 protected:
  void SetUp() override {
    EndToEndTest::SetUp();
    if (HasFatalFailure()) return;
    fs::create_directories(dir_ / "out");
  }
  std::vector<std::string> WithDevice(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--device", sim_->DevicePath()});
    return args;
  }
  CliResult Cli(std::vector<std::string> args) { return RunCli(WithDevice(std::move(args)), dir_); }
  // Output files live in out/, apart from the command line's own output.
  std::string Out(const std::string& name) const { return (dir_ / "out" / name).string(); }
  long OutCount() const {
    return std::distance(fs::directory_iterator(dir_ / "out"), fs::directory_iterator());
  }
  // Waits (at most 10 s) until the command line has printed `text`.
  static void WaitFor(const CliProcess& cli, const std::string& text) {
    testing::WaitUntil([&] { return cli.ErrSoFar().find(text) != std::string::npos; },
                       std::chrono::seconds(10));
    ASSERT_NE(cli.ErrSoFar().find(text), std::string::npos) << cli.ErrSoFar();
  }
  // An existing backup, 0640, to be kept.
  std::string ExistingBackup() {
    const std::string path = Out("user.bak");
    std::ofstream(path, std::ios::binary) << PreciousBytes();
    EXPECT_EQ(::chmod(path.c_str(), 0640), 0);
    return path;
  }
  void ExpectKept(const std::string& path) {
    EXPECT_EQ(ReadBytes(path), PreciousBytes());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(OutCount(), 1) << "nothing left beside it";
  }
};

TEST_F(CliFilesTest, FailedBackupLeavesAnExistingFileByteForByte) {
  StartSim({"--drop-after", "3"});  // the receiver falls silent after two blocks
  const std::string path = ExistingBackup();
  const CliResult r = Cli({"backup", path});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.err.find("User data backup error!"), std::string::npos) << r.err;
  ExpectKept(path);
}

class StoppedBackupTest : public CliFilesTest, public ::testing::WithParamInterface<int> {};

TEST_P(StoppedBackupTest, LeavesAnExistingFileByteForByteAndTellsTheReceiver) {
  StartSim({"--pace"});
  const std::string path = ExistingBackup();
  CliProcess cli(WithDevice({"--trace", "backup", path}), dir_);
  WaitFor(cli, "block 2/17");
  cli.Signal(GetParam());
  const CliResult r = cli.Wait();
  EXPECT_EQ(r.status, 130) << r.out << r.err;
  EXPECT_NE(r.err.find("Closing Connection..."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("PC -> RX FC_ABORT"), std::string::npos) << r.err;
  // The receiver got the FC_ABORT whole, though the port closed right after.
  EXPECT_TRUE(SimSaid("the PC aborted")) << sim_->Stderr();
  ExpectKept(path);
}

INSTANTIATE_TEST_SUITE_P(Signals, StoppedBackupTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) {
                           return std::string(info.param == SIGINT    ? "CtrlC"
                                              : info.param == SIGTERM ? "Sigterm"
                                                                      : "Sighup");
                         });

TEST_F(CliFilesTest, ThreeInterruptsLeaveAtOnceAndRemoveTheTemporaryFile) {
  StartSim({"--drop-after", "3"});  // the transfer then waits 20 s for a frame
  const std::string path = ExistingBackup();
  const auto start = std::chrono::steady_clock::now();
  CliProcess cli(WithDevice({"backup", path}), dir_);
  WaitFor(cli, "block 3/17");
  ASSERT_EQ(OutCount(), 2) << "the backup goes to a temporary file";
  // Held while stopped, the three arrive together when it goes on.
  cli.Signal(SIGSTOP);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) cli.Signal(signal);
  cli.Signal(SIGCONT);
  const CliResult r = cli.Wait();
  EXPECT_EQ(r.status, 130) << r.out << r.err;
  EXPECT_NE(r.err.find("tavlink-cli: stopped at once."), std::string::npos) << r.err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  ExpectKept(path);
}

TEST_F(CliFilesTest, ReadUserDataOnAFullDiskSaysSo) {
  StartSim();
  ASSERT_EQ(::symlink("/dev/full", Out("full.txt").c_str()), 0);
  const CliResult r = Cli({"--yes", "read-user-data", Out("full.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("block 32/32"), std::string::npos) << r.err;
  EXPECT_TRUE(r.err.ends_with("tavlink-cli: cannot write " + Out("full.txt") +
                              ": No space left on device\n"))
      << r.err;
  EXPECT_TRUE(fs::is_symlink(Out("full.txt")));
}

TEST_F(CliFilesTest, ReadUserDataWritesThroughALinkKeepsTheModeAndWarnsOfATextThatWontReadBack) {
  // The receiver's data: the sample with antenna value 9, which the writer
  // puts out and the reader refuses.
  const std::string sample = testing::SampleDataText().string();
  ASSERT_EQ(RunCli({"text-to-block", sample, (dir_ / "user.bin").string()}, dir_).status, 0);
  std::string image = ReadBytes(dir_ / "user.bin");
  ASSERT_EQ(image.size(), 65536u);
  image[24] = 9;  // antenna_config
  std::ofstream(dir_ / "user.bin", std::ios::binary) << image;
  ASSERT_EQ(
      RunCli({"block-to-text", (dir_ / "user.bin").string(), (dir_ / "want.txt").string()}, dir_)
          .status,
      0);
  StartSim({"--user-data", (dir_ / "user.bin").string()});

  fs::create_directory(dir_ / "out" / "real");
  std::ofstream(Out("real/data.txt")) << "old";
  ASSERT_EQ(::chmod(Out("real/data.txt").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("real/data.txt", Out("link.txt").c_str()), 0);
  const CliResult r = Cli({"--yes", "read-user-data", Out("link.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.ends_with("tavlink-cli: warning: " + Out("link.txt") +
                              ": The file is saved, but Write Factory Data would refuse it as it "
                              "stands:\n * Error : line 24. Default Switch Configuation value "
                              "format error.\n"))
      << r.err;
  EXPECT_EQ(r.out,
            "Saved 3 satellites, 9 transponders and 16 services to " + Out("link.txt") + "\n");
  EXPECT_TRUE(fs::is_symlink(Out("link.txt")));
  EXPECT_EQ(ReadBytes(Out("real/data.txt")), ReadBytes(dir_ / "want.txt"));
  struct stat info {};
  ASSERT_EQ(::stat(Out("real/data.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out" / "real"), {}), 1);
}

TEST_F(CliFilesTest, BackupIsRewrittenInPlaceWhenNoTemporaryFileFitsBesideIt) {
  StartSim();
  // A folder so deep that a temporary file's name would pass the system's
  // limit, where "user.bak" still fits.
  const std::string deep = MakeFolderOfLength((dir_ / "out").string(), 4080);
  ASSERT_FALSE(deep.empty());
  const std::string path = deep + "/user.bak";
  std::ofstream(path, std::ios::binary) << "old";
  const CliResult r = Cli({"backup", path});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string file = ReadBytes(path);
  ASSERT_EQ(file.size(), 4u + 65536u);
  EXPECT_EQ(file.substr(4, 8), "evileyes");
  EXPECT_EQ(std::distance(fs::directory_iterator(deep), {}), 1);
}

TEST_F(CliFilesTest, UnusableFilesAreRefusedBeforeAnythingIsSent) {
  StartSim();
  // A folder to restore from.
  CliResult r = Cli({"restore", (dir_ / "out").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Is a directory"), std::string::npos) << r.err;

  // A ROM image one byte longer than 32 bits can announce (sparse).
  const fs::path rom = dir_ / "out" / "huge.bin";
  std::ofstream(rom, std::ios::binary) << "ZOR Digital Satellite Receiver ROM image"
                                       << "v1";
  fs::resize_file(rom, 0xFFFFFFFFull - 4069 + 1);
  r = Cli({"upgrade", rom.string()});
  EXPECT_EQ(r.status, 2);
  // As wrong as a bad header (the desktop tool's box), and why.
  EXPECT_EQ(r.err, "tavlink-cli: Wrong ROM image. Retry.\ntavlink-cli: " + rom.string() +
                       " is too long for a ROM image: 4294963227 bytes, at most 4294963226.\n");

  // A data text with an error: 1, not the reader's result.
  std::ofstream(Out("bad.txt")) << "a 1\na 1\n";
  r = Cli({"write-factory-data", Out("bad.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            " * Error : line 2. Default Switch Configuation value was defined duplicatly.\n");

  // An output in a folder that does not exist.
  r = Cli({"backup", Out("none/user.bak")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "tavlink-cli: cannot write " + Out("none/user.bak") + ": No such file or directory\n");

  EXPECT_EQ(sim_->Stderr().find("PC -> RX"), std::string::npos) << sim_->Stderr();
}

}  // namespace
}  // namespace tavlink
