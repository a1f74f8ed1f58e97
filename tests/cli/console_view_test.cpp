// The console as a session's window, in virtual time: tavlink-cli runs in
// the test's process against a scripted receiver, and every line it writes
// on standard error carries the virtual time it came at.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/paths.h"
#include "support/receiver_script.h"
#include "support/temp_folder.h"
#include "support/test_cli_env.h"

namespace tavlink::cli {
namespace {

using namespace std::chrono_literals;
using testing::ReceiverScript;
using testing::SeenFrame;

constexpr const char* kRx = "/dev/rx";

class ConsoleViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    rx_ = &cli_.AddReceiver(kRx);
    rx_->SetScript(receiver_.Bind());
  }

  // A ROM image of `blocks` full blocks.
  std::string Rom(int blocks) {
    const std::string path = folder_.File("rom.bin");
    std::ofstream rom(path, std::ios::binary);
    rom << "ZOR Digital Satellite Receiver ROM image"
        << "v1";
    for (int i = 0; i < blocks * 4080; ++i) rom << static_cast<char>(i * 7);
    return path;
  }

  // The sample data text, copied into the test's folder: on Windows a
  // command's argument that starts with "/" would be an option.
  std::string Sample() {
    const std::string path = folder_.File("sample.txt");
    std::filesystem::copy_file(testing::SampleDataText(), path,
                               std::filesystem::copy_options::overwrite_existing);
    return path;
  }

  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--device", kRx});
    return cli_.Run(args);
  }

  // When standard error first showed `text`, in seconds of virtual time;
  // -1 when it never did.
  double When(const std::string& text) const {
    const auto at = cli_.terminal.WhenErr(text);
    return at ? std::chrono::duration<double>(*at).count() : -1;
  }
  std::string Err() const { return cli_.terminal.StdErr(); }

  testing::TempFolder folder_;
  testing::TestCliEnv cli_;
  ReceiverScript receiver_;
  testing::ScriptedReceiver* rx_ = nullptr;
};

// --timeout stops the session at its time, as Cancel would; the stop waits
// for the receive under way, and a second into that wait a line says so.
TEST_F(ConsoleViewTest, TimeoutStopsAtItsTimeAndSaysWhyTheStopTakesLong) {
  receiver_.present = false;
  EXPECT_EQ(Run({"--yes", "--timeout", "30", "upgrade", Rom(1)}), kExitTimedOut) << Err();
  const double up = When("tavlink-cli: the --timeout of 30 s is up: stopping.\n");
  EXPECT_GE(up, 30.0) << Err();
  EXPECT_LT(up, 30.1) << Err();
  const double waiting = When("Closing Connection... waiting up to 20 s for the receiver\n");
  EXPECT_GE(waiting, up + 1.0) << Err();
  EXPECT_LT(waiting, up + 1.1) << Err();
  EXPECT_EQ(cli_.terminal.CountErr("waiting up to 20 s"), 1) << Err();
  // The request that went out at 20.2 s is waited for until 40.2 s; then
  // the receiver gets its abort.
  EXPECT_GE(cli_.clock.Elapsed(), 40s);
  EXPECT_LT(cli_.clock.Elapsed(), 41s);
  EXPECT_EQ(receiver_.aborts.load(), 1);
  EXPECT_EQ(cli_.terminal.StdOut(), "");
}

// A stop that ends within a second says nothing of waiting: here the
// interrupt comes half way through the second after a frame.
TEST_F(ConsoleViewTest, QuickStopSaysNothingOfWaiting) {
  receiver_.onFrame = [this](const SeenFrame& frame) {
    if (frame.code == FC_DATA && receiver_.dataFrames.load() == 2)
      cli_.interrupts.InterruptAt(cli_.clock.Now() + 500ms);
  };
  EXPECT_EQ(Run({"write-factory-data", Sample()}), kExitStopped) << Err();
  EXPECT_NE(Err().find("Closing Connection...\n"), std::string::npos) << Err();
  EXPECT_EQ(Err().find("waiting up to"), std::string::npos) << Err();
}

// While the request goes unanswered, one hint says where nothing answered,
// a second after the first receive that got nothing, and only once.
TEST_F(ConsoleViewTest, NoAnswerHintComesOnceASecondAfterTheFirstSilence) {
  receiver_.present = false;
  EXPECT_EQ(Run({"--yes", "--timeout", "45", "upgrade", Rom(1)}), kExitTimedOut) << Err();
  const std::string hint =
      "tavlink-cli: no answer on /dev/rx within 20 s; check the cable, the port choice and that "
      "the receiver is on.\n";
  // The first request goes at 0.1 s and is given up at 20.1 s.
  const double at = When(hint);
  EXPECT_GE(at, 21.1) << Err();
  EXPECT_LT(at, 21.2) << Err();
  EXPECT_EQ(cli_.terminal.CountErr(hint), 1) << Err();
}

// An adapter pulled out while the receiver was silent: the device's own
// message says what failed, and no hint sends the technician to the
// receiver.
TEST_F(ConsoleViewTest, NoAnswerHintIsNotGivenAfterTheDeviceHasGone) {
  receiver_.present = false;
  rx_->Line().GoAway(5000);
  EXPECT_EQ(Run({"connect"}), kExitFailure) << Err();
  EXPECT_NE(Err().find("Serial Communication Device Error: Input/output error"), std::string::npos)
      << Err();
  EXPECT_EQ(Err().find("no answer on"), std::string::npos) << Err();
}

// A connect that nobody answers fails after its 20 s with the system's
// box, and the hint follows it at once.
TEST_F(ConsoleViewTest, SilentConnectFailsWithTheBoxThenTheHint) {
  receiver_.present = false;
  EXPECT_EQ(Run({"connect"}), kExitFailure) << Err();
  EXPECT_NE(Err().find("Connect: Connection error.\ntavlink-cli: no answer on /dev/rx within 20 s; "
                       "check the cable, the port choice and that the receiver is on.\n"),
            std::string::npos)
      << Err();
  EXPECT_GE(When("Connect: Connection error."), 20.0);
  EXPECT_LT(When("Connect: Connection error."), 20.2);
  EXPECT_EQ(cli_.terminal.StdOut(), "");
}

// A receiver that answers the next request, within that second, is no
// reason for the hint.
TEST_F(ConsoleViewTest, NoHintWhenTheNextRequestIsAnswered) {
  receiver_.present = false;
  int requests = 0;
  receiver_.onFrame = [&](const SeenFrame& frame) {
    if (frame.code == FC_UPGRADE && ++requests == 2) receiver_.present = true;
  };
  EXPECT_EQ(Run({"upgrade", Rom(1)}), kExitOk) << Err();
  EXPECT_EQ(Err().find("no answer on"), std::string::npos) << Err();
  EXPECT_NE(cli_.terminal.StdOut().find("Upgraded from "), std::string::npos);
}

// On a terminal the meter's clock moves once a second, also while nothing
// else does.
TEST_F(ConsoleViewTest, MeterTicksOnceASecond) {
  cli_.terminal.errIsTerminal = true;
  cli_.terminal.columns = 100;
  receiver_.present = false;
  EXPECT_EQ(Run({"--yes", "--timeout", "6", "upgrade", Rom(1)}), kExitTimedOut) << Err();
  for (int second = 1; second <= 5; ++second) {
    const std::string meter =
        "Connecting...  [" + std::string(28, '.') + "]    0%  0:0" + std::to_string(second);
    EXPECT_EQ(cli_.terminal.CountErr(meter), 1) << meter << "\n" << Err();
    const double at = When(meter);
    EXPECT_GE(at, second) << meter;
    EXPECT_LT(at, second + 0.1) << meter;
  }
}

// While the request goes unanswered the meter counts the time without an
// answer and says how to stop: from the first receive that got nothing.
TEST_F(ConsoleViewTest, MeterCountsTheTimeWithoutAnAnswer) {
  cli_.terminal.errIsTerminal = true;
  cli_.terminal.columns = 200;
  receiver_.present = false;
  EXPECT_EQ(Run({"--yes", "--timeout", "100", "upgrade", Rom(1)}), kExitTimedOut) << Err();
  EXPECT_EQ(cli_.terminal.CountErr("no answer for 0:20 "), 0) << Err();  // before 20.1 s
  const double at = When("Connecting...   no answer for 0:21 (Ctrl-C stops, --timeout in 1:19)");
  EXPECT_GE(at, 21.0) << Err();
  EXPECT_LT(at, 21.1) << Err();
  EXPECT_EQ(cli_.terminal.CountErr("no answer for 1:25 (Ctrl-C stops, --timeout in 0:15)"), 1);
  EXPECT_EQ(Err().find("still no answer"), std::string::npos) << Err();
}

TEST_F(ConsoleViewTest, MeterWithoutTimeoutNamesIt) {
  cli_.terminal.errIsTerminal = true;
  cli_.terminal.columns = 200;
  receiver_.present = false;
  cli_.interrupts.InterruptAt(Clock::TimePoint{} + 70s);
  EXPECT_EQ(Run({"--yes", "upgrade", Rom(1)}), kExitStopped) << Err();
  EXPECT_EQ(cli_.terminal.CountErr("no answer for 1:05 (Ctrl-C stops, or --timeout SECONDS)"), 1)
      << Err();
}

// Without a terminal a line a minute says the same; the count starts again
// when the receiver says something (here it acknowledges the request at
// 40.3 s, and then never gets ready).
TEST_F(ConsoleViewTest, WithoutATerminalALineAMinuteFromTheLastAnswer) {
  receiver_.present = false;
  receiver_.getsReady = false;
  int requests = 0;
  receiver_.onFrame = [&](const SeenFrame& frame) {
    if (frame.code == FC_UPGRADE && ++requests == 3) receiver_.present = true;
  };
  EXPECT_EQ(Run({"--yes", "--timeout", "230", "upgrade", Rom(1)}), kExitTimedOut) << Err();
  const std::string first =
      "tavlink-cli: still no answer on /dev/rx after 1:00; the request goes out again until it "
      "answers (Ctrl-C stops, --timeout in 2:10).\n";
  const double at = When(first);
  EXPECT_GE(at, 100.3) << Err();
  EXPECT_LT(at, 100.4) << Err();
  EXPECT_NE(Err().find("tavlink-cli: still no answer on /dev/rx after 2:00;"), std::string::npos)
      << Err();
  EXPECT_EQ(cli_.terminal.CountErr("still no answer"), 3) << Err();
}

// An interrupt is the Cancel button: the session stops with the abort.
TEST_F(ConsoleViewTest, InterruptIsTakenAsCancel) {
  receiver_.onFrame = [this](const SeenFrame& frame) {
    if (frame.code == FC_DATA && receiver_.dataFrames.load() == 4) cli_.interrupts.Interrupt();
  };
  EXPECT_EQ(Run({"write-factory-data", Sample()}), kExitStopped) << Err();
  EXPECT_GE(receiver_.aborts.load(), 1);
  EXPECT_LT(receiver_.dataFrames.load(), 32);
  EXPECT_EQ(receiver_.closings.load(), 0);
  EXPECT_EQ(cli_.terminal.StdOut(), "");
}

// On a terminal an interrupt of the upgrade asks first; an interrupt while
// the question is open is its No, and the upgrade goes on to its end.
TEST_F(ConsoleViewTest, InterruptOfTheUpgradesQuestionIsItsNo) {
  cli_.terminal.canAsk = true;  // and nobody answers
  receiver_.onFrame = [this](const SeenFrame& frame) {
    if (frame.code != FC_DATA) return;
    if (receiver_.dataFrames.load() == 1 || receiver_.dataFrames.load() == 3)
      cli_.interrupts.Interrupt();
  };
  EXPECT_EQ(Run({"upgrade", Rom(5)}), kExitOk) << Err();
  ASSERT_EQ(cli_.terminal.Questions().size(), 1u);
  EXPECT_NE(cli_.terminal.Questions()[0].find("You want to stop the upgrade procedure?"),
            std::string::npos);
  EXPECT_EQ(cli_.terminal.Abandoned(), 1);
  EXPECT_EQ(receiver_.dataFrames.load(), 5);
  EXPECT_EQ(receiver_.aborts.load(), 0);
  EXPECT_NE(cli_.terminal.StdOut().find("Upgraded from "), std::string::npos);
}

// The upload goes on while the question is open; Yes then stops it.
TEST_F(ConsoleViewTest, UpgradeGoesOnWhileAskedAndYesStopsIt) {
  cli_.terminal.canAsk = true;
  cli_.terminal.QueueAnswer(true, 3500ms);  // a frame a second goes meanwhile
  receiver_.onFrame = [this](const SeenFrame& frame) {
    if (frame.code == FC_DATA && receiver_.dataFrames.load() == 0) cli_.interrupts.Interrupt();
  };
  EXPECT_EQ(Run({"upgrade", Rom(10)}), kExitStopped) << Err();
  EXPECT_GE(receiver_.dataFrames.load(), 3);
  EXPECT_LT(receiver_.dataFrames.load(), 10);
  EXPECT_EQ(receiver_.aborts.load(), 1);
  EXPECT_EQ(cli_.terminal.Abandoned(), 0);
}

// Without a terminal to ask on, the question's default answer stands and a
// line says why the upgrade goes on.
TEST_F(ConsoleViewTest, WithoutATerminalTheUpgradeGoesOn) {
  receiver_.onFrame = [this](const SeenFrame& frame) {
    if (frame.code == FC_DATA && receiver_.dataFrames.load() == 0) cli_.interrupts.Interrupt();
  };
  EXPECT_EQ(Run({"upgrade", Rom(2)}), kExitOk) << Err();
  EXPECT_NE(Err().find("tavlink-cli: no terminal to ask whether to stop the upgrade, so it goes "
                       "on; with --yes an interrupt stops it.\n"),
            std::string::npos)
      << Err();
  EXPECT_EQ(receiver_.dataFrames.load(), 2);
}

// Ctrl-C is taken at once by a session of its own (a session of the
// factory line looks for it every 250 ms).
TEST_F(ConsoleViewTest, InterruptIsTakenWithinTheSessionsIdlePeriod) {
  receiver_.present = false;
  cli_.interrupts.InterruptAt(Clock::TimePoint{} + 10010ms);
  EXPECT_EQ(Run({"--yes", "upgrade", Rom(1)}), kExitStopped) << Err();
  const double alone = When("Closing Connection...");
  EXPECT_GE(alone, 10.01) << Err();
  EXPECT_LE(alone, 10.07) << Err();
}

}  // namespace
}  // namespace tavlink::cli
