#include "editor/receiver_flows.h"

#include <cstring>

#include "channels/channel_list.h"
#include "operations/receiver_operations.h"

namespace tavlink::editor {

WriteVerification VerifyWrittenList(OperationHost& host, const ReceiverDataBlock& sent) {
  WriteVerification result;
  if (!host.Ask(Question::kTurnOffReceiver, kRestartReceiverText)) {
    result.outcome = TransferOutcome::kStopped;
    return result;
  }
  auto received = std::make_unique<ReceiverDataBlock>();
  for (;;) {
    result.outcome = ReceiveUserData(host, *received);
    if (result.outcome == TransferOutcome::kSucceeded) break;
    // A stop is the technician's; a port that does not open will not open
    // by being asked again.
    if (result.outcome != TransferOutcome::kFailed) return result;
    if (!host.Ask(Question::kTurnOffReceiver, kReceiverSilentText)) return result;
  }
  result.differences = channels::CompareLists(channels::ChannelList::FromBlock(sent),
                                              channels::ChannelList::FromBlock(*received));
  result.bytesOutsideDiffer =
      result.differences.empty() &&
      std::memcmp(sent.bytes(), received->bytes(), ReceiverDataBlock::kSize) != 0;
  result.verified = result.differences.empty() && !result.bytesOutsideDiffer;
  result.received = std::move(received);
  return result;
}

}  // namespace tavlink::editor
