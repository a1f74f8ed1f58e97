#include "sim/simulator.h"

#include "link/frame.h"
#include "sim/operations.h"

namespace tavlink::sim {

Simulator::Simulator(FrameChannel& line, ReceiverState& state, const SimOptions& options)
    : session_{line, state, options} {}

void Simulator::Run() {
  FrameChannel& line = session_.line;
  std::optional<RxFrame> pending;
  while (!line.stopped()) {
    RxFrame frame = pending ? std::move(*pending) : line.Receive(std::nullopt);
    pending.reset();
    switch (frame.kind) {
      case RxFrame::Kind::kStopped:
      case RxFrame::Kind::kTimeout:
        continue;
      case RxFrame::Kind::kCommand:
        if (IsRequestCode(frame.code)) {
          pending = Serve(frame.code).next;
        } else {
          line.log().Report("unexpected " + FrameCodeName(frame.code) +
                            " while waiting for a request; ignored");
        }
        continue;
      default:
        line.log().Report("unexpected data while waiting for a request; ignored");
        continue;
    }
  }
}

Step Simulator::Serve(int requestCode) {
  switch (requestCode) {
    case FC_CONNECT:
      return RunConnect(session_);
    case FC_USERDATA:
      return RunUserData(session_);
    case FC_BACKUP:
      return RunBackup(session_);
    case FC_RESTORE:
      return RunRestore(session_);
    case FC_UPGRADE:
      return RunUpgrade(session_);
    case FC_FACTORY:
      return RunFactory(session_);
    default:
      return Step{false, {}};
  }
}

}  // namespace tavlink::sim
