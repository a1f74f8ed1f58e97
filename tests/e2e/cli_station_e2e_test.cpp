// The station: one tavlink-cli serving several receivers of one
// tavlink-sim --count at once, in real time over pseudo-terminals.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

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
using testing::RunCli;
using testing::SimProcess;
using testing::TerminalProcess;

class StationTest : public testing::EndToEndTest {
 protected:
  void StartSim(int count, std::vector<std::string> args = {}) {
    args.insert(args.begin(), {"--count", std::to_string(count)});
    EndToEndTest::StartSim(args);
    ASSERT_EQ(sim_->DevicePaths().size(), static_cast<size_t>(count));
  }
  // "--device D1 --device D2 ..." for every receiver.
  std::vector<std::string> Devices() const {
    std::vector<std::string> args;
    for (const std::string& device : sim_->DevicePaths()) {
      args.push_back("--device");
      args.push_back(device);
    }
    return args;
  }
  std::vector<std::string> With(std::vector<std::string> args) const {
    std::vector<std::string> all = Devices();
    all.insert(all.end(), args.begin(), args.end());
    return all;
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // The simulator's log lines of receiver `n`.
  std::string LogOf(int n) const {
    std::string lines;
    std::istringstream log(sim_->Stderr());
    for (std::string line; std::getline(log, line);)
      if (line.find("] #" + std::to_string(n) + " ") != std::string::npos) lines += line + "\n";
    return lines;
  }
  // A receiver's device as a file name in a folder of outputs.
  static std::string FileNameOf(const std::string& device) {
    std::string name = device.substr(5);  // after "/dev/"
    for (char& c : name)
      if (c == '/') c = '_';
    return name + ".txt";
  }
};

// Four receivers get the factory data at once, and each one's data reads
// back as written; the run takes one receiver's time, not four.
TEST_F(StationTest, FourReceiversWrittenAtOnceEachReadsBackItsData) {
  StartSim(4, {"--ready-delay", "0.2"});
  const std::string text =
      "a 5\r\n"
      "s \"LINE SAT\" 9750 10600 u 13.0 e a 0 n 14\r\n"
      "t 11034 27500 v 0 14 0 3/4\r\n"
      "v \"LINE TV\" 1 1 7 160 80 160 0 0 0 0\r\n";
  std::ofstream(Path("factory.txt"), std::ios::binary) << text;
  ASSERT_EQ(RunCli({"text-to-block", Path("factory.txt"), Path("f.bin")}, dir_).status, 0);
  ASSERT_EQ(RunCli({"block-to-text", Path("f.bin"), Path("expected.txt")}, dir_).status, 0);

  const auto start = std::chrono::steady_clock::now();
  const CliResult write = RunCli(
      With({"--report", Path("made.jsonl"), "write-factory-data", Path("factory.txt")}), dir_);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(write.status, 0) << write.err;
  // One receiver's write takes 37 s of the protocol's own pauses; four one
  // after another would take 148 s.
  EXPECT_LT(took, std::chrono::seconds(100)) << "the receivers were served one after another";
  EXPECT_NE(write.err.find("tavlink-cli: 4 of 4 receivers succeeded."), std::string::npos)
      << write.err;
  for (const std::string& device : sim_->DevicePaths()) {
    EXPECT_NE(write.out.find("[" + device + "] Wrote factory data (32 blocks) in "),
              std::string::npos)
        << write.out;
    // Without a terminal each status change is a line prefixed with its receiver.
    EXPECT_NE(write.err.find("[" + device + "] Uploading...   block 32/32   error 0"),
              std::string::npos)
        << write.err;
  }
  // The production record: one object per receiver.
  const std::string report = ReadBytes(Path("made.jsonl"));
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 4) << report;
  const std::regex record(
      "\\{\"port\":null,\"device\":\"/dev/pts/[0-9]+\",\"operation\":\"write-factory-data\","
      "\"software\":null,\"hardware\":null,\"start\":\"[0-9-]+T[0-9:]+Z\",\"end\":\"[0-9-]+T[0-9:]+"
      "Z\",\"outcome\":\"succeeded\",\"failure\":null,\"errors\":0,\"file\":\"[^\"]+factory\\."
      "txt\","
      "\"sha256\":\"[0-9a-f]{64}\"\\}");
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(std::regex_match(line, record)) << line;

  fs::create_directories(Path("back"));
  const CliResult read = RunCli(With({"--yes", "read-user-data", Path("back")}), dir_);
  ASSERT_EQ(read.status, 0) << read.err;
  for (const std::string& device : sim_->DevicePaths())
    EXPECT_EQ(ReadBytes(dir_ / "back" / FileNameOf(device)), ReadBytes(Path("expected.txt")))
        << device;
}

// A silent receiver and one that hangs up mid-transfer fail; the others
// succeed with their data whole, and the summary names the two.
TEST_F(StationTest, SilentAndHangingUpReceiversFailAloneAndAreNamed) {
  StartSim(4, {"--silent-on", "2", "--corrupt-frame", "3:2", "--drop-after", "3:4"});
  fs::create_directories(Path("back"));
  const CliResult r =
      RunCli(With({"--report", Path("read.jsonl"), "--yes", "read-user-data", Path("back")}), dir_);
  EXPECT_EQ(r.status, 1) << r.err;
  const auto& devices = sim_->DevicePaths();
  const std::string summary = "tavlink-cli: 2 of 4 receivers succeeded; failed: ";
  const size_t at = r.err.find(summary);
  ASSERT_NE(at, std::string::npos) << r.err;
  const std::string failed = r.err.substr(at + summary.size());
  EXPECT_NE(failed.find(devices[1] + ": no answer"), std::string::npos) << failed;
  EXPECT_NE(failed.find(devices[2] + ": "), std::string::npos) << failed;
  EXPECT_EQ(failed.find(devices[0]), std::string::npos) << failed;
  EXPECT_EQ(failed.find(devices[3]), std::string::npos) << failed;
  const std::string sample = ReadBytes(testing::SampleDataText());
  EXPECT_EQ(ReadBytes(dir_ / "back" / FileNameOf(devices[0])), sample);
  EXPECT_EQ(ReadBytes(dir_ / "back" / FileNameOf(devices[3])), sample);
  EXPECT_FALSE(fs::exists(dir_ / "back" / FileNameOf(devices[1])));
  EXPECT_FALSE(fs::exists(dir_ / "back" / FileNameOf(devices[2])));
  const std::string report = ReadBytes(Path("read.jsonl"));
  EXPECT_NE(report.find("\"device\":\"" + devices[1] +
                        "\",\"operation\":\"read-user-data\",\"software\":null,"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\"outcome\":\"failed\",\"failure\":\"no answer\""), std::string::npos);
}

// Ctrl-C stops every receiver's session, each with its whole FC_ABORT.
TEST_F(StationTest, InterruptStopsEveryReceiverWithItsAbort) {
  StartSim(3, {"--ready-delay", "0.2"});
  CliProcess cli(With({"write-factory-data", testing::SampleDataText().string()}), dir_);
  ASSERT_TRUE(testing::WaitUntil(
      [&] {
        for (const std::string& device : sim_->DevicePaths())
          if (cli.ErrSoFar().find("[" + device + "] Uploading...   block 1/32") ==
              std::string::npos)
            return false;
        return true;
      },
      std::chrono::seconds(20)))
      << cli.ErrSoFar();
  cli.Signal(SIGINT);
  const CliResult r = cli.Wait();
  EXPECT_EQ(r.status, 130) << r.err;
  for (int n = 1; n <= 3; ++n) {
    EXPECT_TRUE(testing::WaitUntil(
        [&] { return LogOf(n).find("the PC aborted") != std::string::npos; }, kSimReportTime))
        << "receiver " << n << ":\n"
        << LogOf(n);
  }
  EXPECT_NE(r.err.find("0 of 3 receivers succeeded"), std::string::npos) << r.err;
}

// On a terminal of 40 columns the live table's rows fit it.
TEST_F(StationTest, LiveTableFitsANarrowTerminal) {
  StartSim(3, {"--software", "SW 1.06.03 with a long name"});
  std::vector<std::string> args = With({"connect"});
  TerminalProcess cli(args, 40, dir_);
  EXPECT_EQ(cli.Wait(), 0) << cli.Shown();
  const std::string shown = cli.Shown();
  // Split where the terminal would start a line again; drop the escape
  // sequences that move the cursor and clear.
  std::string plain = std::regex_replace(shown, std::regex("\033\\[[0-9]*[A-Za-z]"), "\n");
  std::istringstream lines(plain);
  int rows = 0;
  for (std::string line; std::getline(lines, line, '\n');) {
    for (std::string part; !line.empty();) {
      const size_t cr = line.find('\r');
      part = line.substr(0, cr);
      line = cr == std::string::npos ? "" : line.substr(cr + 1);
      if (part.rfind("[/dev/", 0) == 0) continue;  // results and messages, not rows
      EXPECT_LE(part.size(), 40u) << part;
      if (part.find("/dev/pts/") == 0 || part.find("succeeded") != std::string::npos) ++rows;
    }
  }
  EXPECT_GT(rows, 0) << shown;
  for (const std::string& device : sim_->DevicePaths())
    EXPECT_NE(shown.find("[" + device + "] Software version: SW 1.06.03 with a long name"),
              std::string::npos)
        << shown;
}
}  // namespace
}  // namespace tavlink

namespace tavlink {
namespace {

// --repeat keeps serving: after the receiver is served it looks at the line
// again (a connect, which shows nothing), until Ctrl-C. What it does as
// receivers come and go is tested in virtual time (tests/cli).
TEST_F(StationTest, RepeatLooksAtTheLineAgainUntilInterrupted) {
  const std::string link = Path("receiver");
  const SimProcess sim({"--link", link, "--software", "SW first", "--hardware", "HW rev A"});
  ASSERT_FALSE(sim.DevicePath().empty());
  CliProcess cli({"--device", link, "--repeat", "--trace", "connect"}, dir_);
  ASSERT_TRUE(testing::WaitUntil(
      [&] {
        const std::string err = cli.ErrSoFar();
        const size_t waiting = err.find("waiting for the next receiver on this line");
        return waiting != std::string::npos &&
               err.find("PC -> RX FC_CONNECT", waiting) != std::string::npos;
      },
      std::chrono::seconds(15)))
      << cli.ErrSoFar();
  cli.Signal(SIGINT);
  const CliResult r = cli.Wait();
  EXPECT_EQ(r.status, 130) << r.err;
  EXPECT_EQ(r.out, "[" + link + "] Software version: SW first\n[" + link +
                       "] Hardware version: HW rev A\n")
      << r.err;
  EXPECT_NE(r.err.find("Served per line: " + link + " 1."), std::string::npos) << r.err;
}

// Ctrl-C at the question before reading leaves at once, and takes every
// receiver's prepared temporary file with it, not only the last one.
TEST_F(StationTest, InterruptBeforeReadingLeavesNoTemporaryFileOfAnyReceiver) {
  StartSim(3);
  fs::create_directories(Path("out"));
  TerminalProcess cli(With({"read-user-data", Path("out")}), 80, dir_);
  ASSERT_TRUE(cli.WaitFor("Please turn off your receiver.")) << cli.Shown();
  size_t prepared = 0;
  for (const auto& entry : fs::directory_iterator(Path("out")))
    prepared += entry.path().extension() == ".tmp" ? 1 : 0;
  ASSERT_EQ(prepared, 3u) << "the outputs are prepared before the question";
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Wait(), 130) << cli.Shown();
  EXPECT_TRUE(fs::is_empty(Path("out"))) << cli.Shown();
}

// A receiver stopped by --timeout is put down to the time-out, not to the
// last line its session showed (the window's title).
TEST_F(StationTest, TimedOutReceiversAreReportedAsTimedOut) {
  StartSim(2, {"--pace", "--ready-delay", "0.2"});
  const CliResult r = RunCli(With({"--timeout", "1", "--report", Path("r.jsonl"),
                                   "write-factory-data", testing::SampleDataText().string()}),
                             dir_);
  EXPECT_EQ(r.status, 1) << r.err;
  const auto& devices = sim_->DevicePaths();
  EXPECT_NE(r.err.find("0 of 2 receivers succeeded; failed: " + devices[0] + ": timed out; " +
                       devices[1] + ": timed out."),
            std::string::npos)
      << r.err;
  const std::string report = ReadBytes(Path("r.jsonl"));
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2) << report;
  size_t records = 0;
  for (size_t at = 0; (at = report.find("\"outcome\":\"timed out\",\"failure\":\"timed out\"",
                                        at)) != std::string::npos;
       ++at)
    ++records;
  EXPECT_EQ(records, 2u) << report;
}

// On a terminal one Ctrl-C stops every receiver's upgrade: no receiver asks
// its own question over the table.
TEST_F(StationTest, InterruptStopsEveryUpgradeWithoutAsking) {
  StartSim(2, {"--ready-delay", "0.2"});
  std::string body;
  for (size_t i = 0; i < 6 * 4080; ++i) body += static_cast<char>((i * 31) & 0xFF);
  std::ofstream(Path("rom.bin"), std::ios::binary) << "ZOR Digital Satellite Receiver ROM image"
                                                   << "v1" << body;
  TerminalProcess cli(With({"upgrade", Path("rom.bin")}), 100, dir_);
  for (const std::string& device : sim_->DevicePaths())
    ASSERT_TRUE(cli.WaitFor("[" + device + "] Upgrade software")) << cli.Shown();
  ASSERT_TRUE(cli.WaitFor("block 1/")) << cli.Shown();
  cli.Signal(SIGINT);
  // A question would hold the summary up: nobody answers here.
  const bool ended = cli.WaitFor("0 of 2 receivers succeeded");
  EXPECT_EQ(cli.Shown().find("[y/N]"), std::string::npos) << cli.Shown();
  if (!ended) cli.Signal(SIGKILL);
  EXPECT_EQ(cli.Wait(), 130) << cli.Shown();
  for (int n = 1; n <= 2; ++n) {
    EXPECT_TRUE(testing::WaitUntil(
        [&] { return LogOf(n).find("the PC aborted") != std::string::npos; }, kSimReportTime))
        << "receiver " << n << ":\n"
        << LogOf(n);
  }
}

// A receiver named twice, once by a link and once by its device, is one
// line: refused before anything is sent.
TEST_F(StationTest, DeviceNamedByALinkAndByItselfIsRefusedAsTheSameLine) {
  const std::string link = Path("receiver");
  const SimProcess sim({"--link", link});
  ASSERT_FALSE(sim.DevicePath().empty());
  const CliResult r = RunCli({"--device", link, "--device", sim.DevicePath(), "connect"}, dir_);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("tavlink-cli: " + link + " and " + sim.DevicePath() + " are the same line"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
}

// With several receivers each traced frame names its receiver.
TEST_F(StationTest, TracedFramesNameTheirReceiver) {
  StartSim(2);
  const CliResult r = RunCli(With({"--trace", "connect"}), dir_);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto& devices = sim_->DevicePaths();
  std::vector<int> frames(devices.size(), 0);
  std::istringstream err(r.err);
  for (std::string line; std::getline(err, line);) {
    if (line.find(" -> ") == std::string::npos) continue;
    bool named = false;
    for (size_t n = 0; n < devices.size(); ++n) {
      if (line.rfind("[" + devices[n] + "] [", 0) == 0) {
        named = true;
        ++frames[n];
      }
    }
    EXPECT_TRUE(named) << line;
  }
  for (size_t n = 0; n < devices.size(); ++n) EXPECT_GT(frames[n], 0) << devices[n] << r.err;
}

// A device whose own path holds the placeholders is filled in once, as it
// is: the file is named after it, and its braces stay.
TEST_F(StationTest, DevicePathWithPlaceholdersIsFilledInOnce) {
  const std::string link = Path("rx{device}{port}");
  const SimProcess sim({"--link", link});
  ASSERT_FALSE(sim.DevicePath().empty());
  const CliResult r =
      RunCli({"--device", link, "--yes", "read-user-data", Path("out-{device}-{n}.txt")}, dir_);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string flat = link.substr(1);
  for (char& c : flat)
    if (c == '/') c = '_';
  const fs::path expected = dir_ / ("out-_" + flat + "-1.txt");
  EXPECT_EQ(ReadBytes(expected), ReadBytes(testing::SampleDataText())) << r.out;
}

// --verify reads each receiver's data back after the write: the one that
// kept every byte is verified, the one that changed a service's name is
// not, with what differs; the record says which.
TEST_F(StationTest, VerifiedWriteNamesTheReceiverThatDidNotKeepTheData) {
  // The second receiver keeps the first service's name with its first
  // byte changed.
  StartSim(2, {"--alter-stored", "2:10798"});
  const std::string sample = testing::SampleDataText().string();
  const CliResult r = RunCli(
      With({"--yes", "--report", Path("made.jsonl"), "write-factory-data", "--verify", sample}),
      dir_);
  EXPECT_EQ(r.status, 1) << r.err;
  const auto& devices = sim_->DevicePaths();
  EXPECT_NE(r.out.find("[" + devices[0] + "] Verified: the receiver holds what was written."),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("[" + devices[1] + "] Verified"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[" + devices[1] + "] service 1 "), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("tavlink-cli: 1 of 2 receivers succeeded, 1 verified; failed: " +
                       devices[1] + ": not verified: 1 service changed"),
            std::string::npos)
      << r.err;
  const std::string report = ReadBytes(Path("made.jsonl"));
  std::istringstream lines(report);
  std::string first, second;
  ASSERT_TRUE(std::getline(lines, first) && std::getline(lines, second)) << report;
  if (first.find(devices[0]) == std::string::npos) std::swap(first, second);
  EXPECT_NE(first.find("\"outcome\":\"succeeded\",\"failure\":null"), std::string::npos) << first;
  EXPECT_NE(first.find("\"verified\":true,\"differences\":null"), std::string::npos) << first;
  EXPECT_NE(second.find("\"verified\":false,\"differences\":\"1 service changed\""),
            std::string::npos)
      << second;
}

}  // namespace
}  // namespace tavlink
