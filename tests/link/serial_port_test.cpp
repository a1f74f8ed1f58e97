// SerialPort's contract over an in-memory line, in virtual time.

#include "link/serial_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "support/memory_line.h"
#include "support/recording_reporter.h"
#include "support/virtual_clock.h"

namespace tavlink {
namespace {

class SerialPortTest : public ::testing::Test {
 protected:
  testing::VirtualClock clock;
  testing::RecordingReporter reporter;
  std::shared_ptr<testing::MemoryLine> line = std::make_shared<testing::MemoryLine>(clock);
  std::unique_ptr<SerialPort> port =
      std::make_unique<SerialPort>(std::make_unique<testing::MemoryDevice>(line), clock, reporter);
  uint8_t buf[64] = {};
  uint32_t got = 99;

  void OpenWithTimeout(uint32_t ms) {
    port->Initialize(1, 8192, 8192);
    ASSERT_EQ(port->SetMode("96,n,8,1"), 1);
    port->SetTimeout(ms);
    port->SetDriverTimeouts(0xFFFFFFFF, 0, 0, 0, 0);
    ASSERT_EQ(port->Open(), 1);
  }
};

TEST_F(SerialPortTest, ReadOfZeroBytesSucceedsEvenWhenNeverOpened) {
  EXPECT_EQ(port->Read(buf, 0, &got), 1);
  EXPECT_EQ(got, 0u);
}

TEST_F(SerialPortTest, StateRefusalsShowNoBox) {
  EXPECT_EQ(port->Read(buf, 1, &got), 0);
  EXPECT_EQ(port->Write(buf, 1, &got), 0);
  EXPECT_EQ(port->Close(), 0);
  EXPECT_EQ(port->Open(), 0);  // not initialised
  EXPECT_EQ(port->SetMode("96,n,8,1"), 0);
  OpenWithTimeout(1000);
  EXPECT_EQ(port->Open(), 0);  // already open: the line is left as it was
  EXPECT_EQ(port->SetMode("96,n,8,1"), 0);
  EXPECT_EQ(line->opens, 1);
  EXPECT_TRUE(reporter.Boxes().empty());
}

TEST_F(SerialPortTest, OpenAppliesTheDefaultRate) {
  OpenWithTimeout(1000);
  EXPECT_EQ(line->BaudRates(), std::vector<uint32_t>{115200});
  EXPECT_TRUE(port->IsOpen());
}

TEST_F(SerialPortTest, SilentLineTimesOutAfterTwoHundredPolls) {
  OpenWithTimeout(20000);
  EXPECT_EQ(port->Read(buf, 12, &got), 0);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(clock.ElapsedMs(), 20000);
  EXPECT_TRUE(reporter.Boxes().empty());
}

TEST_F(SerialPortTest, PartialReadKeepsWhatArrived) {
  OpenWithTimeout(20000);
  line->Deliver("HELLO");
  EXPECT_EQ(port->Read(buf, 12, &got), 0);
  EXPECT_EQ(got, 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 5), "HELLO");
  EXPECT_EQ(line->Pending(), 0u);
}

TEST_F(SerialPortTest, ReadCompletesAtThePollThatBringsTheLastByte) {
  OpenWithTimeout(20000);
  line->Deliver("abc");
  line->Deliver("defghijkl", 250);
  EXPECT_EQ(port->Read(buf, 12, &got), 1);
  EXPECT_EQ(got, 12u);
  EXPECT_EQ(clock.ElapsedMs(), 300);
}

TEST_F(SerialPortTest, TimeoutUnderOnePollReadsNothingAndSucceeds) {
  OpenWithTimeout(99);
  line->Deliver("abc");
  EXPECT_NE(port->Read(buf, 3, &got), 0);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(line->Pending(), 3u);
}

TEST_F(SerialPortTest, FailedOpenShowsSystemTextAndStaysInitialised) {
  line->failOpenWith = ENOENT;
  port->Initialize(2, 8192, 8192);
  EXPECT_EQ(port->Open(), 0);
  ASSERT_EQ(reporter.Boxes().size(), 1u);
  EXPECT_EQ(reporter.Boxes()[0].caption, "Serial Communication Device Error");
  EXPECT_EQ(reporter.Boxes()[0].text, std::strerror(ENOENT));
  EXPECT_TRUE(port->IsInitialized());
  EXPECT_FALSE(port->IsOpen());
}

TEST_F(SerialPortTest, RefusedModeStringIsADeviceError) {
  port->Initialize(1, 8192, 8192);
  EXPECT_EQ(port->SetMode("96,x,8,1"), 0);
  ASSERT_EQ(reporter.Boxes().size(), 1u);
  EXPECT_EQ(reporter.Boxes()[0].caption, "Serial Communication Device Error");
}

TEST_F(SerialPortTest, ReadFailureShowsBoxOnce) {
  OpenWithTimeout(20000);
  line->failReadWith = EIO;
  EXPECT_EQ(port->Read(buf, 12, &got), 0);
  EXPECT_EQ(reporter.Boxes().size(), 1u);
  EXPECT_EQ(clock.ElapsedMs(), 0);
}

// Other device errors say nothing about the device's future: each one is
// shown, and the next call tries the device again.
TEST_F(SerialPortTest, EachOtherDeviceErrorIsShownAndTheDeviceTriedAgain) {
  OpenWithTimeout(20000);
  line->failReadWith = EBADF;
  EXPECT_EQ(port->Read(buf, 12, &got), 0);
  EXPECT_EQ(port->Read(buf, 12, &got), 0);
  EXPECT_EQ(reporter.Boxes().size(), 2u);
  EXPECT_FALSE(port->DeviceGone());
}

// A device that has gone is shown once. Later reads and writes fail at once,
// without a box and without touching the device, until the next Open, which
// tries the device again.
TEST_F(SerialPortTest, DeviceThatHasGoneIsShownOnceThenRefusedAtOnce) {
  OpenWithTimeout(20000);
  line->GoAway();
  EXPECT_FALSE(port->DeviceGone());  // nothing has found out yet
  EXPECT_EQ(port->Write("x", 1, &got), 0);
  ASSERT_EQ(reporter.Boxes().size(), 1u);
  EXPECT_EQ(reporter.Boxes()[0].text, std::strerror(EIO));
  EXPECT_TRUE(port->DeviceGone());
  const int calls = line->callsWhileGone;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(port->Read(buf, 12, &got), 0);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(port->Write("x", 1, &got), 0);
  }
  EXPECT_EQ(clock.ElapsedMs(), 0);  // no read waited out its time-out
  EXPECT_EQ(line->callsWhileGone, calls);
  EXPECT_NE(port->Close(), 0);  // the close releases the device without a box
  EXPECT_EQ(reporter.Boxes().size(), 1u);

  ASSERT_EQ(port->Open(), 1);
  EXPECT_FALSE(port->DeviceGone());
  EXPECT_EQ(port->Read(buf, 12, &got), 0);  // still gone: this new try is shown
  EXPECT_EQ(reporter.Boxes().size(), 2u);
  EXPECT_TRUE(port->DeviceGone());
}

// Found by a read as well: the read ends at once instead of waiting out its
// polls on a device that can no longer bring anything.
TEST_F(SerialPortTest, ReadOnADeviceThatHasGoneEndsAtOnce) {
  OpenWithTimeout(20000);
  line->GoAway(250);
  line->Deliver(std::string("12345"));
  EXPECT_EQ(port->Read(buf, 12, &got), 0);
  EXPECT_EQ(got, 5u);  // what came before it went is kept
  EXPECT_EQ(clock.ElapsedMs(), 300);
  EXPECT_EQ(reporter.Boxes().size(), 1u);
  EXPECT_TRUE(port->DeviceGone());
}

TEST_F(SerialPortTest, WriteThatTimesOutFailsWithoutBox) {
  OpenWithTimeout(20000);
  line->writeTimesOut = true;
  EXPECT_EQ(port->Write("x", 1, &got), 0);
  EXPECT_TRUE(reporter.Boxes().empty());
}

TEST_F(SerialPortTest, CloseThenOpenAt19200KeepsSettings) {
  OpenWithTimeout(20000);
  EXPECT_NE(port->Close(), 0);
  EXPECT_EQ(line->inputDiscards, 1);
  EXPECT_EQ(port->Close(), 0);
  EXPECT_EQ(port->Open(19200), 1);
  EXPECT_EQ(line->BaudRates(), (std::vector<uint32_t>{115200, 19200}));
  // The reopened line gets the same mode string and driver time-outs.
  EXPECT_EQ(line->LastSettings().mode, "96,n,8,1");
  EXPECT_EQ(line->LastSettings().timeouts.readIntervalTimeout, 0xFFFFFFFFu);
  EXPECT_EQ(line->LastSettings().timeouts.readTotalTimeoutConstant, 0u);
  EXPECT_EQ(line->LastSettings().timeouts.writeTotalTimeoutConstant, 0u);
  // And the same time-out: a silent line still gives up after 200 polls.
  const long long before = clock.ElapsedMs();
  EXPECT_EQ(port->Read(buf, 12, &got), 0);
  EXPECT_EQ(clock.ElapsedMs() - before, 20000);
}

TEST_F(SerialPortTest, DestroyingAnOpenPortDiscardsInputAndCloses) {
  OpenWithTimeout(20000);
  port.reset();
  EXPECT_EQ(line->inputDiscards, 1);
  EXPECT_EQ(line->closes, 1);
  EXPECT_FALSE(line->open);
}

// A device that opened but refused its queue set-up or its line settings
// must be closed again, or the next try finds it still claimed.
TEST_F(SerialPortTest, OpenRefusedAfterTheDeviceOpenedClosesItAgain) {
  for (std::atomic<int>* fault : {&line->failSetupQueuesWith, &line->failConfigureWith}) {
    SCOPED_TRACE(fault == &line->failConfigureWith ? "configure refused" : "queues refused");
    port->Initialize(1, 8192, 8192);
    *fault = EIO;
    const int closesBefore = line->closes;
    EXPECT_EQ(port->Open(), 0);
    EXPECT_EQ(line->closes, closesBefore + 1);
    EXPECT_FALSE(line->open);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_TRUE(port->IsInitialized());
    *fault = 0;
    EXPECT_EQ(port->Open(), 1);  // the next try can have the device
    EXPECT_NE(port->Close(), 0);
  }
  ASSERT_EQ(reporter.Boxes().size(), 2u);
  EXPECT_EQ(reporter.Boxes()[1].caption, "Serial Communication Device Error");
}

}  // namespace
}  // namespace tavlink
