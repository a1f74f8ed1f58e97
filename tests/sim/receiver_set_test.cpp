// Several receivers in one process: each keeps its own user data, faults
// and log lines.

#include "sim/receiver_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "test_pc.h"

namespace tavlink::sim::testing {
namespace {

using std::chrono::milliseconds;

class ReceiverSetTest : public ::testing::Test {
 protected:
  ReceiverSetTest() {
    uint8_t* bytes = initial_.userData->bytes();
    for (size_t i = 0; i < ReceiverDataBlock::kSize; ++i) bytes[i] = static_cast<uint8_t>(i * 3);
    std::copy_n("evileyes", 8, bytes);
    options_.readyDelaySeconds = 0;
    options_.payloadSize = 4084;
  }

  // Opens the receivers and starts them; the test fails when they cannot open.
  ReceiverSet& Start(int count) {
    options_.count = count;
    set_ = std::make_unique<ReceiverSet>(options_, initial_, sink_, stop_);
    EXPECT_TRUE(set_->ok()) << set_->error();
    EXPECT_EQ(set_->DevicePaths().size(), static_cast<size_t>(count));
    set_->Start();
    return *set_;
  }

  std::vector<uint8_t> InitialBlock() const {
    const uint8_t* bytes = initial_.userData->bytes();
    return std::vector<uint8_t>(bytes, bytes + ReceiverDataBlock::kSize);
  }

  std::string LogText() {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }

  SimOptions options_;
  ReceiverState initial_;
  StopSignal stop_;

 private:
  std::mutex mutex_;
  std::string log_;
  SimLog::Sink sink_ = [this](const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    log_ += line + "\n";
  };
  std::unique_ptr<ReceiverSet> set_;  // last: its threads end before the rest goes
};

TEST_F(ReceiverSetTest, FactoryDataWrittenIntoOneReceiverIsNotInTheOther) {
  ReceiverSet& set = Start(2);
  const std::vector<std::string> paths = set.DevicePaths();
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_NE(paths[0], paths[1]);
  TestPc first(paths[0], B115200);
  TestPc second(paths[1], B115200);

  std::vector<uint8_t> factory(ReceiverDataBlock::kSize, 0x11);
  std::copy_n("evileyes", 8, factory.begin());
  ASSERT_TRUE(WriteFactoryData(second, factory)) << LogText();

  EXPECT_EQ(ReadUserData(second), factory) << LogText();
  EXPECT_EQ(ReadUserData(first), InitialBlock()) << LogText();
  stop_.Request();
  set.Join();
  EXPECT_EQ(set.state(1).userData->bytes()[100], InitialBlock()[100]);
  EXPECT_EQ(set.state(2).userData->bytes()[100], 0x11);
}

TEST_F(ReceiverSetTest, FaultsForOneReceiverLeaveTheOthersWhole) {
  options_.faultsOf[2].dropAfter = 0;  // switched off
  options_.faultsOf[3].corruptFrame = 1;
  ReceiverSet& set = Start(3);
  const std::vector<std::string> paths = set.DevicePaths();
  ASSERT_EQ(paths.size(), 3u);
  std::vector<PcFrame> firstData;
  for (const std::string& path : paths) {
    TestPc pc(path, B115200);
    pc.SendCode(FC_CONNECT);
    if (pc.Receive(milliseconds(path == paths[1] ? 300 : 5000)).code != FC_ACK) {
      firstData.push_back(PcFrame{});
      continue;
    }
    firstData.push_back(pc.Receive());
    pc.SendCode(FC_ABORT);
  }
  ASSERT_EQ(firstData.size(), 3u);
  EXPECT_EQ(firstData[0].code, FC_DATA);
  EXPECT_TRUE(firstData[0].crcOk);
  EXPECT_EQ(firstData[1].code, -1) << "the silent receiver answered";
  EXPECT_EQ(firstData[2].code, FC_DATA);
  EXPECT_FALSE(firstData[2].crcOk) << "receiver 3 was to corrupt its first data frame";

  // Each receiver's lines carry its number.
  const std::string log = LogText();
  for (int n = 1; n <= 3; ++n) {
    EXPECT_NE(log.find("] #" + std::to_string(n) + " receiver ready on " + paths[n - 1]),
              std::string::npos)
        << log;
  }
}

TEST_F(ReceiverSetTest, OneReceiverWritesItsLinesWithoutANumber) {
  Start(1);
  EXPECT_NE(LogText().find("] receiver ready on /dev/"), std::string::npos) << LogText();
}

}  // namespace
}  // namespace tavlink::sim::testing
