// The receiver when the PC gives an operation up (FC_ABORT, or its next
// request instead of an answer): it ends what it was doing at once, sends
// nothing more of it, and serves the PC's next request at 115200 baud,
// also when a read of user data was stopped around its switch to 19200.

#include "sim_fixture.h"
#include "support/wait_until.h"

namespace tavlink::sim::testing {
namespace {

using std::chrono::milliseconds;

class SimulatorStopTest : public SimFixture {
 protected:
  // Well under the 5 s the receiver would wait for a switch of speed.
  static constexpr milliseconds kPrompt{2000};

  bool LogSays(const std::string& text) {
    return tavlink::testing::WaitUntil([&] { return LogHas(text); }, kPrompt);
  }

  // The receiver is idle at 115200 baud: a connect is answered at once
  // with FC_ACK and the identification, not with anything of the read.
  void ExpectConnectServed(TestPc& pc) {
    pc.SendCode(FC_CONNECT);
    EXPECT_EQ(pc.Receive(kPrompt).code, FC_ACK) << LogText();
    const PcFrame identification = pc.Receive(kPrompt);
    EXPECT_EQ(identification.code, FC_DATA) << LogText();
    EXPECT_EQ(identification.payload.size(), 96u) << LogText();
    pc.SendCode(FC_ACK);
    EXPECT_EQ(pc.Receive(kPrompt).code, FC_CONNECT_END) << LogText();
    pc.SendCode(FC_ACK);
  }
};

// Stopped before the PC switched its line: the receiver does not wait for a
// switch that will not come.
TEST_F(SimulatorStopTest, AbortInsteadOfTheSwitchTo19200EndsTheReadAtOnce) {
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_USERDATA);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  pc.SendCode(FC_ABORT);
  EXPECT_TRUE(LogSays("the PC aborted while waiting for the PC to switch to 19200 baud"))
      << LogText();
  ExpectConnectServed(pc);
  EXPECT_FALSE(LogHas("sending anyway")) << LogText();
}

// The PC's next operation came first (its abort lost): it is served.
TEST_F(SimulatorStopTest, RequestInsteadOfTheSwitchTo19200IsServedAtOnce) {
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_USERDATA);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  ExpectConnectServed(pc);
  EXPECT_TRUE(LogHas("new request FC_CONNECT while waiting for the PC to switch")) << LogText();
}

// Stopped right after the switch, before any data came: no data frame goes
// out after the PC's FC_ABORT, which would meet the PC's next session.
TEST_F(SimulatorStopTest, AbortRightAfterTheSwitchSendsNoDataFrame) {
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_USERDATA);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  pc.Reopen(B19200);
  pc.SendCode(FC_ABORT);
  EXPECT_TRUE(LogSays("the PC aborted")) << LogText();
  EXPECT_TRUE(pc.ReadUntilQuiet(milliseconds(300)).empty()) << LogText();
  pc.Reopen(B115200);
  ExpectConnectServed(pc);
}

// A frame that goes out at the line's pace (2 s for 4,100 bytes at 19200
// baud) stops as soon as the PC aborts, instead of being sent to its end.
TEST_F(SimulatorStopTest, PacedDataFrameStopsWhenThePcAborts) {
  options_.payloadSize = 4084;
  options_.faults.pace = true;
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_USERDATA);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  pc.Reopen(B19200);
  ASSERT_EQ(pc.ReadBytes(100, milliseconds(5000)).size(), 100u);  // the frame is under way
  pc.SendCode(FC_ABORT);
  EXPECT_TRUE(LogSays("the PC aborted while sending FC_DATA")) << LogText();
  // At most the bytes under way when the abort came (0.1 s of the line),
  // not the rest of the frame.
  EXPECT_LT(pc.ReadUntilQuiet(milliseconds(300)).size(), 1000u) << LogText();
  pc.Reopen(B115200);
  ExpectConnectServed(pc);
}

}  // namespace
}  // namespace tavlink::sim::testing
