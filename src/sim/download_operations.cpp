// Operations in which the receiver sends: connect, user data, backup.

#include <thread>

#include "link/frame.h"
#include "sim/operations.h"
#include "sim/receiver_content.h"

namespace tavlink::sim {
namespace {

using std::chrono::milliseconds;

constexpr uint32_t kRequestBaud = 115200;
constexpr uint32_t kUserDataBaud = 19200;
constexpr milliseconds kSwitchPoll{10};
constexpr milliseconds kSwitchLimit{5000};
// The PC flushes its queues after it reopens the line; give it that time.
constexpr milliseconds kSwitchSettle{50};

// Waits until the PC's end of the line runs at `baud`; false when it does
// not within kSwitchLimit (reported), on stop, or when the PC sends
// something instead (it has given the operation up).
bool AwaitLineSpeed(Session& session, uint32_t baud) {
  const auto limit = std::chrono::steady_clock::now() + kSwitchLimit;
  while (session.line.pty().ReadLineState().baud != baud) {
    if (session.line.stopped() || session.line.PcIsSending()) return false;
    if (std::chrono::steady_clock::now() > limit) {
      session.line.log().Report("the PC did not switch the line to " + std::to_string(baud) +
                                " baud; sending anyway");
      return false;
    }
    std::this_thread::sleep_for(kSwitchPoll);
  }
  session.line.NoteLineRate();
  return true;
}

// Sets the expected speed for the life of one scope.
class ExpectedBaudScope {
 public:
  ExpectedBaudScope(FrameChannel& line, uint32_t baud) : line_(line) { line_.ExpectBaud(baud); }
  ~ExpectedBaudScope() { line_.ExpectBaud(kRequestBaud); }
  ExpectedBaudScope(const ExpectedBaudScope&) = delete;
  ExpectedBaudScope& operator=(const ExpectedBaudScope&) = delete;

 private:
  FrameChannel& line_;
};

}  // namespace

Step RunConnect(Session& session) {
  if (!session.line.SendCode(FC_ACK)) return SendFailed(session, "FC_ACK");
  const ReceiverState& state = session.state;
  const auto answer = IdentificationAnswer(state.model, state.hardware, state.software);
  Step step = SendDataAwaitAck(session, answer);
  if (!step.ok) return step;
  step = SendEndAwaitAck(session, FC_CONNECT_END);
  if (step.ok) session.line.log().Report("connect answered");
  return step;
}

Step RunUserData(Session& session) {
  if (!session.line.SendCode(FC_ACK)) return SendFailed(session, "FC_ACK");
  ExpectedBaudScope expected(session.line, kUserDataBaud);
  // What the PC sends instead of switching (its FC_ABORT, a new request at
  // 115200 baud) ends the read before any data has gone out.
  if (!AwaitLineSpeed(session, kUserDataBaud) && session.line.PcIsSending())
    return Abandon(session, session.line.Receive(kPcTimeout),
                   "waiting for the PC to switch to 19200 baud");
  std::this_thread::sleep_for(kSwitchSettle);
  if (session.line.stopped()) return Step{false, {}};

  const std::span<const uint8_t> block(session.state.userData->bytes(), ReceiverDataBlock::kSize);
  const auto pieces = SplitPayloads(block, session.options.payloadSize);
  for (const auto piece : pieces) {
    Step step = SendDataAwaitAck(session, piece);
    if (!step.ok) return step;
  }
  // The PC may already have ended its session and reopened the line at
  // 115200 baud by the time its last FC_ACK is looked at.
  session.line.ExpectBaud(kUserDataBaud, kRequestBaud);
  Step step = SendEndAwaitAck(session, FC_USERDATA_END);
  if (step.ok) {
    session.line.log().Report("user data sent: " + std::to_string(pieces.size()) +
                              " frames of up to " + std::to_string(session.options.payloadSize) +
                              " bytes");
  }
  return step;
}

Step RunBackup(Session& session) {
  if (!session.line.SendCode(FC_ACK)) return SendFailed(session, "FC_ACK");
  const auto payloads = BackupPayloads(*session.state.userData);
  for (const auto& payload : payloads) {
    Step step = SendDataAwaitAck(session, payload);
    if (!step.ok) return step;
  }
  Step step = SendEndAwaitAck(session, FC_BACKUP_END);
  if (step.ok) {
    session.line.log().Report("backup sent: " + std::to_string(payloads.size()) + " frames");
  }
  return step;
}

}  // namespace tavlink::sim
