#pragma once
// One operation's view of the simulator, and the stop-and-wait steps the
// operations are built from. Each step either completes (ok) or ends the
// operation; in that case it has already said why on the log, and `next`
// may hold a new request from the PC that arrived instead of an answer.

#include <chrono>
#include <optional>
#include <span>
#include <string>

#include "sim/frame_channel.h"
#include "sim/receiver_state.h"
#include "sim/sim_options.h"

namespace tavlink::sim {

// How long the receiver waits for the PC before it gives up an operation.
inline constexpr std::chrono::milliseconds kPcTimeout{30000};

struct Session {
  FrameChannel& line;
  ReceiverState& state;
  const SimOptions& options;
};

struct Step {
  bool ok = true;
  std::optional<RxFrame> next;
};

// True for the six codes that start an operation.
bool IsRequestCode(int code);

// Ends the operation because `got` arrived while `doing` ("waiting for
// FC_ACK to our data frame"): a new request from the PC is handed on in
// `next`, anything else sends the receiver back to idle.
Step Abandon(Session& session, const RxFrame& got, const std::string& doing);

// Ends the operation after a send of `what` did not go out: when the PC cut
// it short by sending, what it sent is read and ends the operation as in
// Abandon; nothing more of the operation goes out.
Step SendFailed(Session& session, const std::string& what);

// Sends `payload` as a data frame until the PC answers FC_ACK; FC_NAK
// sends it again (a few times at most).
Step SendDataAwaitAck(Session& session, std::span<const uint8_t> payload);

// Sends the closing `code` and waits for the PC's FC_ACK.
Step SendEndAwaitAck(Session& session, int code);

// Takes the PC's data frames until `endCode` and answers that with FC_ACK.
// Each good frame is answered FC_ACK and handed to `take`; a damaged one
// (or one chosen for a refusal) is answered FC_NAK. `ignoredCode` (or -1)
// is a command the PC may send in between without an answer.
template <typename Take>
Step ReceiveUpload(Session& session, int endCode, int ignoredCode, Take take);

}  // namespace tavlink::sim

#include "sim/session_inl.h"
