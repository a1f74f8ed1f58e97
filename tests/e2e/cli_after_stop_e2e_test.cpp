// After a read of user data that was stopped, the next operation works at
// its first try, against tavlink-sim in real time: neither the PC's line
// nor the receiver keeps anything of the stopped read (no frame of it is
// read by the next session, no receiver goes on sending it, and the
// receiver takes the next request at 115200 baud although the read was
// stopped at 19200).

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "support/cli_process.h"
#include "support/e2e_fixture.h"
#include "support/sim_process.h"

namespace tavlink {
namespace {

using testing::CliProcess;
using testing::CliResult;

// Where a read is stopped: once `text` has appeared `count` times, since the
// read started, in the receiver's lines of the simulator's log (or, for
// `inCli`, in the read's own status lines).
struct StopMoment {
  const char* name;
  const char* text;
  int count;
  bool inCli;
};
void PrintTo(const StopMoment& moment, std::ostream* out) {
  *out << moment.name;
}

constexpr StopMoment kMoments[] = {
    // As soon as the read starts: the stop is asked for while the request
    // is answered, and taken at the first check point after the switch to
    // 19200 baud, before or after the first data frame.
    {"DuringTheRequest", "Connecting...", 1, true},
    {"EarlyInTheData", "RX -> PC  FC_DATA len 4084", 1, false},
    {"LateInTheData", "RX -> PC  FC_DATA len 4084", 14, false},
};

// The user data in 17 frames of 4084 bytes, so that a whole read is quick.
constexpr const char* kPayloadSize = "4084";

class CliAfterStopTest : public testing::EndToEndTest {
 protected:
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // How often `text` stands in `log` from `from` on.
  static int CountFrom(const std::string& log, size_t from, const std::string& text) {
    int n = 0;
    for (size_t at = log.find(text, from); at != std::string::npos; at = log.find(text, at + 1))
      ++n;
    return n;
  }

  // Starts a read of user data from `device` and interrupts it (the Cancel
  // button) at `moment`; the read must end stopped, and the receiver must
  // have taken its FC_ABORT. `logTag` starts the receiver's log texts ("#2 "
  // when the simulator serves several).
  void StopARead(const std::string& device, const StopMoment& moment,
                 const std::string& logTag = "") {
    const size_t logFrom = sim_->Stderr().size();
    CliProcess cli({"--device", device, "--yes", "read-user-data", Path("stopped.txt")}, dir_);
    const std::string text = moment.inCli ? moment.text : logTag + moment.text;
    const bool reached = testing::WaitUntil(
        [&] {
          if (moment.inCli) return CountFrom(cli.ErrSoFar(), 0, text) >= moment.count;
          return CountFrom(sim_->Stderr(), logFrom, text) >= moment.count;
        },
        std::chrono::seconds(20));
    ASSERT_TRUE(reached) << "never saw " << text << "; the read said:\n" << cli.ErrSoFar();
    cli.Signal(SIGINT);
    const CliResult r = cli.Wait();
    ASSERT_EQ(r.status, 130) << r.err;
    ASSERT_TRUE(testing::WaitUntil(
        [&] { return CountFrom(sim_->Stderr(), logFrom, logTag + "the PC aborted") > 0; },
        kSimReportTime));
  }

  CliResult Run(const std::vector<std::string>& command) {
    std::vector<std::string> args{"--device", sim_->DevicePath()};
    args.insert(args.end(), command.begin(), command.end());
    return testing::RunCli(args, dir_);
  }
};

class CliAfterStopAtTest : public CliAfterStopTest,
                           public ::testing::WithParamInterface<StopMoment> {
 protected:
  void SetUp() override {
    CliAfterStopTest::SetUp();
    StartSim({"--payload-size", kPayloadSize});
  }
};

TEST_P(CliAfterStopAtTest, ConnectAfterAStoppedReadWorksAtOnce) {
  ASSERT_NO_FATAL_FAILURE(StopARead(sim_->DevicePath(), GetParam()));
  const CliResult r = Run({"connect"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Software version: SW 1.06.03"), std::string::npos) << r.out << r.err;
}

TEST_P(CliAfterStopAtTest, ReadAfterAStoppedReadWorksAtOnce) {
  ASSERT_NO_FATAL_FAILURE(StopARead(sim_->DevicePath(), GetParam()));
  const CliResult r = Run({"--yes", "read-user-data", Path("read.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Saved "), std::string::npos) << r.out << r.err;
  EXPECT_EQ(r.err.find("err.count"), std::string::npos) << r.err;  // no frame asked for again
}

INSTANTIATE_TEST_SUITE_P(Moments, CliAfterStopAtTest, ::testing::ValuesIn(kMoments),
                         [](const auto& info) { return std::string(info.param.name); });

// The factory write takes its 37 s of the protocol's pauses, so the three
// moments share it: one receiver each, read and stopped there, then one
// factory line writes all three at once. Each receiver answers the first
// request: two FC_FACTORY (the request and the start), no more.
TEST_F(CliAfterStopTest, FactoryWriteAfterAStoppedReadWorksAtOnce) {
  StartSim({"--count", "3", "--payload-size", kPayloadSize});
  const auto& devices = sim_->DevicePaths();
  ASSERT_EQ(devices.size(), 3u);
  for (size_t i = 0; i < devices.size(); ++i) {
    SCOPED_TRACE(kMoments[i].name);
    ASSERT_NO_FATAL_FAILURE(StopARead(devices[i], kMoments[i], "#" + std::to_string(i + 1) + " "));
  }
  const size_t logFrom = sim_->Stderr().size();
  const CliResult r =
      testing::RunCli({"--device", devices[0], "--device", devices[1], "--device", devices[2],
                       "--yes", "write-factory-data", testing::SampleDataText().string()},
                      dir_);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  const std::string log = sim_->Stderr();
  for (int n = 1; n <= 3; ++n) {
    const std::string tag = "#" + std::to_string(n) + " ";
    EXPECT_EQ(CountFrom(log, logFrom, tag + "PC -> RX  FC_FACTORY\n"), 2) << log;
    EXPECT_EQ(CountFrom(log, logFrom, tag + "factory data taken as the new user data\n"), 1) << log;
  }
}

}  // namespace
}  // namespace tavlink
