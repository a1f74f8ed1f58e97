#include "sim/session.h"

#include <algorithm>
#include <iterator>

#include "link/frame.h"

namespace tavlink::sim {
namespace {

// A frame the PC refuses this often in a row is given up, so a PC that
// answers every frame with FC_NAK cannot keep the receiver busy forever.
constexpr int kMaxRefusals = 10;

std::string Describe(const RxFrame& frame) {
  switch (frame.kind) {
    case RxFrame::Kind::kCommand:
      return FrameCodeName(frame.code);
    case RxFrame::Kind::kData:
      return "FC_DATA";
    case RxFrame::Kind::kBadCrc:
      return "a data frame with a bad CRC";
    case RxFrame::Kind::kBadMagic:
      return "a frame with a bad magic";
    case RxFrame::Kind::kBadLength:
      return "a data frame with a bad length";
    case RxFrame::Kind::kTimeout:
      return "nothing";
    case RxFrame::Kind::kStopped:
      return "a stop request";
  }
  return "?";
}

}  // namespace

bool IsRequestCode(int code) {
  return std::ranges::find(kRequestCodes, code) != std::end(kRequestCodes);
}

Step Abandon(Session& session, const RxFrame& got, const std::string& doing) {
  Step step{false, {}};
  SimLog& log = session.line.log();
  if (got.kind == RxFrame::Kind::kStopped) return step;
  if (got.kind == RxFrame::Kind::kTimeout) {
    log.Report("time-out while " + doing + "; back to idle");
  } else if (got.kind == RxFrame::Kind::kCommand && got.code == FC_ABORT) {
    log.Report("the PC aborted while " + doing + "; back to idle");
  } else if (got.kind == RxFrame::Kind::kCommand && IsRequestCode(got.code)) {
    log.Report("new request " + FrameCodeName(got.code) + " while " + doing + "; starting it");
    step.next = got;
  } else {
    log.Report("unexpected " + Describe(got) + " while " + doing + "; back to idle");
  }
  return step;
}

Step SendFailed(Session& session, const std::string& what) {
  if (!session.line.interrupted()) return Step{false, {}};
  return Abandon(session, session.line.Receive(kPcTimeout), "sending " + what);
}

Step SendDataAwaitAck(Session& session, std::span<const uint8_t> payload) {
  for (int refusals = 0; refusals <= kMaxRefusals; ++refusals) {
    if (!session.line.SendData(payload)) return SendFailed(session, "FC_DATA");
    const RxFrame answer = session.line.Receive(kPcTimeout);
    if (answer.kind == RxFrame::Kind::kCommand && answer.code == FC_ACK) return Step{};
    if (answer.kind != RxFrame::Kind::kCommand || answer.code != FC_NAK) {
      return Abandon(session, answer, "waiting for FC_ACK to our data frame");
    }
  }
  session.line.log().Report("the PC refused the same data frame " +
                            std::to_string(kMaxRefusals + 1) + " times; back to idle");
  return Step{false, {}};
}

Step SendEndAwaitAck(Session& session, int code) {
  if (!session.line.SendCode(code)) return SendFailed(session, FrameCodeName(code));
  const RxFrame answer = session.line.Receive(kPcTimeout);
  if (answer.kind == RxFrame::Kind::kCommand && answer.code == FC_ACK) return Step{};
  return Abandon(session, answer, "waiting for FC_ACK to " + FrameCodeName(code));
}

}  // namespace tavlink::sim
