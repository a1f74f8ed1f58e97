#include "sim/simulator.h"

#include <iterator>

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
  // What the receiver does for each request it knows.
  static constexpr struct {
    int request;
    Step (*run)(Session&);
  } kOperations[] = {
      {FC_CONNECT, RunConnect}, {FC_USERDATA, RunUserData}, {FC_BACKUP, RunBackup},
      {FC_RESTORE, RunRestore}, {FC_UPGRADE, RunUpgrade},   {FC_FACTORY, RunFactory},
  };
  static_assert(std::size(kOperations) == std::size(kRequestCodes));
  for (const auto& operation : kOperations)
    if (operation.request == requestCode) return operation.run(session_);
  return Step{false, {}};
}

}  // namespace tavlink::sim
