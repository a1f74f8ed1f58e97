// Stopping tavlink-cli in the middle of an operation, against tavlink-sim in
// real time: an interrupt is the Cancel button, the receiver gets its whole
// FC_ABORT, and the exit status is 130. On a terminal the upgrade asks first,
// without holding the upload up while the question is open.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/cli_process.h"
#include "support/e2e_fixture.h"
#include "support/sim_process.h"
#include "support/terminal_process.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::CliProcess;
using testing::CliResult;
using testing::ReadBytes;
using testing::SimProcess;
using testing::TerminalProcess;

class CliStopTest : public testing::EndToEndTest {
 protected:
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // A ROM image whose body is `bytes` long.
  std::string RomImage(size_t bytes) {
    std::string image;
    for (size_t i = 0; i < bytes; ++i) image += static_cast<char>((i * 31) & 0xFF);
    std::ofstream(Path("rom.bin"), std::ios::binary) << "ZOR Digital Satellite Receiver ROM image"
                                                     << "v1" << image;
    image_ = image;
    return Path("rom.bin");
  }
  std::string image_;
};

// Without a terminal nobody is asked: an interrupt stops every operation
// that sends, the upgrade with --yes (without it, the upgrade goes on).
struct Sending {
  const char* name;
  const char* waitFor;  // a status line shown once the data flows
};

class StopSendingTest : public CliStopTest, public ::testing::WithParamInterface<Sending> {};

TEST_P(StopSendingTest, InterruptStopsWithAWholeAbortAndExits130) {
  StartSim({"--pace", "--ready-delay", "0.2"});
  const std::string command = GetParam().name;
  std::string file;
  if (command == "upgrade") {
    file = RomImage(5 * 4080);
  } else if (command == "restore") {
    file = Path("user.bak");
    std::string data(65536, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
    std::ofstream(file, std::ios::binary) << std::string("\x00\x01\x00\x00", 4) << data;
  } else {
    file = testing::SampleDataText().string();
  }
  std::vector<std::string> args{"--device", sim_->DevicePath(), command, file};
  if (command == "upgrade") args.insert(args.begin(), "--yes");
  CliProcess cli(args, dir_);
  testing::WaitUntil([&] { return cli.ErrSoFar().find(GetParam().waitFor) != std::string::npos; },
                     std::chrono::seconds(20));
  ASSERT_NE(cli.ErrSoFar().find(GetParam().waitFor), std::string::npos) << cli.ErrSoFar();
  cli.Signal(SIGINT);
  const CliResult r = cli.Wait();
  EXPECT_EQ(r.status, 130) << r.out << r.err;
  EXPECT_NE(r.err.find("Closing Connection..."), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Transfer Complete..."), std::string::npos) << r.err;
  EXPECT_TRUE(SimSaid("the PC aborted"));
}

INSTANTIATE_TEST_SUITE_P(Commands, StopSendingTest,
                         ::testing::Values(Sending{"upgrade", "Uploading...   block 1/"},
                                           Sending{"write-factory-data",
                                                   "Uploading...   block 1/32"},
                                           Sending{"restore", "Uploading...   block 1/17"}),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           std::erase(name, '-');
                           return name;
                         });

// On a terminal the upgrade asks before it stops. The upload goes on while
// the question is open, and No lets it finish.
TEST_F(CliStopTest, UpgradeQuestionOnATerminalDoesNotHoldTheUploadUp) {
  StartSim({"--ready-delay", "0.2", "--rom-out", Path("received.bin")});
  TerminalProcess cli({"--device", sim_->DevicePath(), "upgrade", RomImage(6 * 4080)}, 100, dir_);
  ASSERT_TRUE(cli.WaitFor("block 1/")) << cli.Shown();
  cli.Signal(SIGINT);
  ASSERT_TRUE(cli.WaitFor("You want to stop the upgrade procedure? [y/N]")) << cli.Shown();
  const size_t asked = cli.Shown().size();
  // Each frame takes a second of the protocol's own pause: two more blocks
  // go while the question waits for its answer.
  EXPECT_TRUE(cli.WaitFor("block 3/", asked, std::chrono::seconds(10))) << cli.Shown();
  cli.Type("n\n");
  EXPECT_EQ(cli.Wait(), 0) << cli.Shown();
  EXPECT_NE(cli.Shown().find("Transfer Complete..."), std::string::npos) << cli.Shown();
  EXPECT_EQ(ReadBytes(Path("received.bin")), image_);
}

TEST_F(CliStopTest, UpgradeQuestionAnsweredYesStopsIt) {
  StartSim({"--ready-delay", "0.2"});
  TerminalProcess cli({"--device", sim_->DevicePath(), "upgrade", RomImage(6 * 4080)}, 100, dir_);
  ASSERT_TRUE(cli.WaitFor("block 1/")) << cli.Shown();
  cli.Signal(SIGINT);
  ASSERT_TRUE(cli.WaitFor("[y/N]")) << cli.Shown();
  cli.Type("y\n");
  EXPECT_EQ(cli.Wait(), 130) << cli.Shown();
  EXPECT_TRUE(SimSaid("the PC aborted"));
}

// A script's redirected standard input is no reason not to ask: the
// question comes on the controlling terminal, and is answered there.
TEST_F(CliStopTest, UpgradeAsksOnTheTerminalWhenStandardInputIsRedirected) {
  StartSim({"--ready-delay", "2"});  // the upgrade waits in its handshake
  TerminalProcess cli({"--device", sim_->DevicePath(), "upgrade", RomImage(4080)}, 100, dir_, {},
                      TerminalProcess::Input::kNull);
  ASSERT_TRUE(cli.WaitFor("Connecting...")) << cli.Shown();
  cli.Signal(SIGINT);
  ASSERT_TRUE(cli.WaitFor("You want to stop the upgrade procedure? [y/N]")) << cli.Shown();
  cli.Type("y\n");
  EXPECT_EQ(cli.Wait(), 130) << cli.Shown();
  EXPECT_EQ(cli.Shown().find("no terminal"), std::string::npos) << cli.Shown();
  EXPECT_TRUE(SimSaid("the PC aborted"));
}

// So is the question before reading user data: the read is not refused for
// want of a terminal while there is one.
TEST_F(CliStopTest, ReadUserDataAsksOnTheTerminalWhenStandardInputIsRedirected) {
  StartSim();
  TerminalProcess cli({"--device", sim_->DevicePath(), "read-user-data", Path("user.txt")}, 100,
                      dir_, {}, TerminalProcess::Input::kNull);
  ASSERT_TRUE(cli.WaitFor("Please turn off your receiver. [y/N]")) << cli.Shown();
  cli.Type("n\n");
  EXPECT_EQ(cli.Wait(), 130) << cli.Shown();
  EXPECT_NE(cli.Shown().find("tavlink-cli: not confirmed; nothing read."), std::string::npos)
      << cli.Shown();
  EXPECT_FALSE(fs::exists(Path("user.txt")));
}

// With no terminal at all (a service, a pipeline under setsid), the
// question's default answer stands: the upgrade goes on, and a line says
// why and what would have stopped it.
TEST_F(CliStopTest, UpgradeWithoutATerminalGoesOnAfterAnInterrupt) {
  StartSim({"--rom-out", Path("received.bin")});
  CliProcess cli({"--device", sim_->DevicePath(), "upgrade", RomImage(4080)}, dir_);
  ASSERT_TRUE(
      testing::WaitUntil([&] { return cli.ErrSoFar().find("Connecting...") != std::string::npos; },
                         std::chrono::seconds(20)))
      << cli.ErrSoFar();
  cli.Signal(SIGINT);
  const CliResult r = cli.Wait();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("tavlink-cli: no terminal to ask whether to stop the upgrade, so it goes "
                       "on; with --yes an interrupt stops it.\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("[y/N]"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Transfer Complete..."), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(Path("received.bin")), image_);
}

}  // namespace
}  // namespace tavlink
