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
          if (!session.line.SendCode(FC_NAK)) return Step{false, {}};
          continue;
        }
        take(std::span<const uint8_t>(frame.payload));
        if (!session.line.SendCode(FC_ACK)) return Step{false, {}};
        continue;
      case RxFrame::Kind::kBadCrc:
      case RxFrame::Kind::kBadLength:
      case RxFrame::Kind::kBadMagic:
        if (!session.line.SendCode(FC_NAK)) return Step{false, {}};
        continue;
      case RxFrame::Kind::kCommand:
        if (frame.code == endCode) {
          return Step{session.line.SendCode(FC_ACK), {}};
        }
        if (frame.code == ignoredCode) continue;
        [[fallthrough]];
      default:
        return Abandon(session, frame, "a data frame or " + FrameCodeName(endCode));
    }
  }
}

}  // namespace tavlink::sim
