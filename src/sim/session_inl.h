#pragma once
// Template part of session.h; include session.h instead.

#include "link/frame.h"

namespace tavlink::sim {

template <typename Take>
Step ReceiveUpload(Session& session, int endCode, int ignoredCode, Take take) {
  for (;;) {
    RxFrame frame = session.line.Receive(kPcTimeout);
    switch (frame.kind) {
      case RxFrame::Kind::kData:
        if (frame.nakRequested) {
          session.line.log().Report("refusing the PC's data frame with FC_NAK on request");
          if (!session.line.SendCode(FC_NAK)) return SendFailed(session, "FC_NAK");
          continue;
        }
        take(std::span<const uint8_t>(frame.payload));
        if (!session.line.SendCode(FC_ACK)) return SendFailed(session, "FC_ACK");
        continue;
      case RxFrame::Kind::kBadCrc:
      case RxFrame::Kind::kBadLength:
      case RxFrame::Kind::kBadMagic:
        if (!session.line.SendCode(FC_NAK)) return SendFailed(session, "FC_NAK");
        continue;
      case RxFrame::Kind::kCommand:
        if (frame.code == endCode) {
          if (!session.line.SendCode(FC_ACK)) return SendFailed(session, "FC_ACK");
          return Step{};
        }
        if (frame.code == ignoredCode) continue;
        [[fallthrough]];
      default:
        return Abandon(session, frame, "waiting for a data frame or " + FrameCodeName(endCode));
    }
  }
}

}  // namespace tavlink::sim
