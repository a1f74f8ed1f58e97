#include <array>
#include <cstring>

#include "session_fixture.h"

namespace tavlink {
namespace {

using testing::Bytes;
using testing::ScriptedReceiver;
using testing::SeenFrame;

class ConnectTest : public testing::SessionTest {
 protected:
  // 100-byte answer area with guard bytes on both sides.
  std::array<uint8_t, 120> area{};
  std::span<uint8_t> Answer() { return std::span<uint8_t>(area).subspan(10, 100); }

  // A receiver that sends `pieces` as the identification, one frame each,
  // damaging the first `bad` data frames it sends.
  void Identify(std::vector<Bytes> pieces, int bad = 0) {
    struct Script {
      std::vector<Bytes> pieces;
      int bad;
      size_t next = 0;
      bool endSent = false;
      void SendCurrent(ScriptedReceiver& rx) {
        if (next == pieces.size()) {
          rx.ReplyCode(FC_CONNECT_END);
          endSent = true;
          return;
        }
        Bytes frame = testing::DataFrame(pieces[next]);
        if (bad > 0) {
          --bad;
          frame = testing::FlipBit(frame, 12);
        }
        rx.Reply(frame);
      }
      void operator()(const SeenFrame& f, ScriptedReceiver& rx) {
        if (f.code == FC_CONNECT) {
          rx.ReplyCode(FC_ACK);
          SendCurrent(rx);
        } else if (f.code == FC_NAK) {
          SendCurrent(rx);
        } else if (f.code == FC_ACK && !endSent) {
          ++next;
          SendCurrent(rx);
        }
      }
    };
    receiver.SetScript(Script{std::move(pieces), bad});
  }
};

Bytes Text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

TEST_F(ConnectTest, AnswerOverSeveralFramesArrivesConcatenated) {
  Identify({Text("ZOR"), Text("-DSR"), testing::Pattern(40)});
  EXPECT_EQ(Run(OP_CONNECT, nullptr, nullptr, Answer()), TransferOutcome::kSucceeded);
  EXPECT_EQ(std::memcmp(Answer().data(), "ZOR-DSR", 7), 0);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_CONNECT, FC_ACK, FC_ACK, FC_ACK, FC_ACK}));
  EXPECT_EQ(view.title, "Connect to the receiver");
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Connecting..."});
  EXPECT_EQ(view.positions, (std::vector<int>{50, 100}));  // 50 while reading, 100 on success
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_GE(clock.ElapsedMs(), 500);  // the success pause on the user-interface thread
}

TEST_F(ConnectTest, BadCrcIsAnsweredWithNakAndShowsNothing) {
  Identify({Text("ZOR")}, 2);
  EXPECT_EQ(Run(OP_CONNECT, nullptr, nullptr, Answer()), TransferOutcome::kSucceeded);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_CONNECT, FC_NAK, FC_NAK, FC_ACK, FC_ACK}));
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Connecting..."});
  EXPECT_EQ(Answer()[0], 'Z');
}

TEST_F(ConnectTest, ReceiverSwitchedOffGivesConnectionErrorAfterTheTimeout) {
  EXPECT_EQ(Run(OP_CONNECT, nullptr, nullptr, Answer()), TransferOutcome::kFailed);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_CONNECT, FC_ABORT}));
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, "Connection error.");
  EXPECT_EQ(view.boxes[0].caption, "Connect");
  EXPECT_GE(clock.ElapsedMs(), 20000);
}

TEST_F(ConnectTest, FailureAfterPartOfTheAnswerClearsItsFirstByte) {
  receiver.SetScript([](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_CONNECT) {
      rx.ReplyCode(FC_ACK);
      rx.ReplyData(Text("ZOR"));
    }  // then silence
  });
  EXPECT_EQ(Run(OP_CONNECT, nullptr, nullptr, Answer()), TransferOutcome::kFailed);
  EXPECT_EQ(Answer()[0], 0);
  EXPECT_EQ(Answer()[1], 'O');
}

// A stop is no connection either, however much of the answer had come.
TEST_F(ConnectTest, StopAfterPartOfTheAnswerClearsItsFirstByte) {
  receiver.SetScript([this](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_CONNECT) {
      rx.ReplyCode(FC_ACK);
      rx.ReplyData(Text("ZOR"));
    } else if (f.code == FC_ACK) {
      Current().OnCancel();  // the user stops while the rest is awaited
      rx.ReplyData(Text("-DSR"));
    }
  });
  EXPECT_EQ(Run(OP_CONNECT, nullptr, nullptr, Answer()), TransferOutcome::kStopped);
  EXPECT_EQ(Answer()[0], 0);
  EXPECT_EQ(Answer()[1], 'O');
  EXPECT_EQ(Codes(), (std::vector<int>{FC_CONNECT, FC_ACK, FC_ABORT}));
  EXPECT_TRUE(view.boxes.empty());
}

TEST_F(ConnectTest, AnswerLongerThanTheBufferNeverWritesPastIt) {
  Identify({testing::Pattern(90, 1), testing::Pattern(90, 2), testing::Pattern(300, 3)});
  EXPECT_EQ(Run(OP_CONNECT, nullptr, nullptr, Answer()), TransferOutcome::kSucceeded);
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(area[i], 0) << i;
  for (size_t i = 110; i < area.size(); ++i) EXPECT_EQ(area[i], 0) << i;
  EXPECT_EQ(Answer()[89], testing::Pattern(90, 1)[89]);
  EXPECT_EQ(Answer()[90], testing::Pattern(90, 2)[0]);
}

}  // namespace
}  // namespace tavlink
