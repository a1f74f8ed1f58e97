// --repeat in virtual time: a station that serves a line again each time
// its receiver is exchanged, against a scripted receiver that is taken
// away and replaced at chosen times.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "support/receiver_script.h"
#include "support/test_cli_env.h"

namespace tavlink::cli {
namespace {

using namespace std::chrono_literals;
using testing::ReceiverScript;
using testing::SeenFrame;

constexpr const char* kRx = "/dev/rx";

class RepeatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cli_.AddReceiver(kRx).SetScript(receiver_.Bind());
    // Each connect is noted with its time since the first; `onConnect`
    // then says what the line holds.
    receiver_.onFrame = [this](const SeenFrame& frame) {
      if (frame.code != FC_CONNECT) return;
      const Clock::TimePoint now = cli_.clock.Now();
      std::lock_guard lock(mutex_);
      if (connects_.empty()) first_ = now;
      connects_.push_back(std::chrono::duration_cast<Clock::Duration>(now - first_));
      if (onConnect) onConnect(connects_.back());
    };
  }

  // The connects seen in [from, to) since the first.
  int ConnectsBetween(Clock::Duration from, Clock::Duration to) {
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const Clock::Duration at : connects_) count += at >= from && at < to;
    return count;
  }
  std::string Err() const { return cli_.terminal.StdErr(); }

  testing::TestCliEnv cli_;
  ReceiverScript receiver_;
  // Called on the worker's thread, with the connect's time since the first.
  std::function<void(Clock::Duration)> onConnect;

 private:
  std::mutex mutex_;
  Clock::TimePoint first_;
  std::vector<Clock::Duration> connects_;
};

// The first receiver is served and stays on the line for 10 s; it is not
// served again. The line is then empty for 50 s, and the next receiver is
// served as soon as a look finds it. The looks print nothing.
TEST_F(RepeatTest, ServesTheNextReceiverOnceTheLineWasEmpty) {
  cli_.terminal.errIsTerminal = true;
  cli_.terminal.takesEscapes = true;
  cli_.terminal.columns = 120;
  Clock::Duration found{0};  // when a look first met the next receiver
  onConnect = [&](Clock::Duration at) {
    receiver_.present = at < 10s || at >= 60s;
    if (at < 60s || found != Clock::Duration{0}) return;
    found = at;
    receiver_.SetVersions("SW second", "HW B");
    cli_.interrupts.InterruptAt(cli_.clock.Now() + 15s);
  };
  receiver_.SetVersions("SW first", "HW A");
  EXPECT_EQ(cli_.Run({"--device", kRx, "--repeat", "connect"}), kExitStopped) << Err();
  EXPECT_EQ(cli_.terminal.StdOut(),
            "[/dev/rx] Software version: SW first\n[/dev/rx] Hardware version: HW A\n"
            "[/dev/rx] Software version: SW second\n[/dev/rx] Hardware version: HW B\n");
  // A look every two seconds or so while the first one is there...
  EXPECT_GE(ConnectsBetween(1s, 10s), 3);
  EXPECT_LE(ConnectsBetween(1s, 10s), 5);
  // ... and, on the empty line, each silent connect takes its 20 s.
  EXPECT_GE(ConnectsBetween(10s, 60s), 2);
  EXPECT_LE(ConnectsBetween(10s, 60s), 3);
  // The next receiver: found by a look, served at once, and looked at.
  EXPECT_EQ(ConnectsBetween(found, found + 1500ms), 3);
  size_t waits = 0;
  for (size_t at = 0;
       (at = Err().find("waiting for the next receiver on this line", at)) != std::string::npos;
       ++at)
    ++waits;
  EXPECT_EQ(waits, 2u) << Err();
  // Only the two served receivers' sessions show.
  EXPECT_EQ(cli_.terminal.CountErr("[/dev/rx] Connect to the receiver\n"), 2) << Err();
  for (const char* quiet : {"Connection error", "no answer on", "Closing Connection"})
    EXPECT_EQ(Err().find(quiet), std::string::npos) << quiet << "\n" << Err();
  EXPECT_NE(Err().find("Served per line: /dev/rx 2."), std::string::npos) << Err();
}

// An interrupt during the rest between two looks ends the wait at once.
TEST_F(RepeatTest, InterruptDuringARestEndsTheWaitAtOnce) {
  Clock::TimePoint interrupt{};
  onConnect = [&](Clock::Duration at) {
    // The first look ends with its half-second pause; its rest of two
    // seconds follows.
    if (interrupt == Clock::TimePoint{} && at > 0s) {
      interrupt = cli_.clock.Now() + 1500ms;
      cli_.interrupts.InterruptAt(interrupt);
    }
  };
  EXPECT_EQ(cli_.Run({"--device", kRx, "--repeat", "connect"}), kExitStopped) << Err();
  EXPECT_EQ(ConnectsBetween(0s, 1h), 2);
  // The rest looks for interrupts every 100 ms, the station's own thread
  // for its lines' end every 250 ms.
  EXPECT_GE(cli_.clock.Now(), interrupt);
  EXPECT_LT(cli_.clock.Now(), interrupt + 400ms);
  EXPECT_NE(Err().find("tavlink-cli: 1 of 1 receivers succeeded. Served per line: /dev/rx 1.\n"),
            std::string::npos)
      << Err();
}

// An interrupt during a look stops it as Cancel: the look's connect gets
// its abort, and the wait ends.
TEST_F(RepeatTest, InterruptDuringALookStopsIt) {
  onConnect = [&](Clock::Duration at) {
    if (at > 0s) {
      receiver_.present = false;  // the look waits for its answer
      cli_.interrupts.InterruptAt(cli_.clock.Now() + 5s);
    }
  };
  EXPECT_EQ(cli_.Run({"--device", kRx, "--repeat", "connect"}), kExitStopped) << Err();
  EXPECT_EQ(ConnectsBetween(0s, 1h), 2);
  EXPECT_GE(receiver_.aborts.load(), 1);
  EXPECT_EQ(cli_.interrupts.Spans(), 0);
}

TEST_F(RepeatTest, ReadUserDataIsNotRepeated) {
  EXPECT_EQ(cli_.Run({"--device", kRx, "--repeat", "--yes", "read-user-data", "x.txt"}),
            kExitUsage);
  EXPECT_EQ(Err(),
            "tavlink-cli: read-user-data saves one file per receiver; --repeat would replace it. "
            "Repeat the command instead.\n");
  EXPECT_EQ(ConnectsBetween(0s, 1h), 0);
}

}  // namespace
}  // namespace tavlink::cli
