#include "operations/factory_verification.h"

#include <cstdio>

#include "channels/channel_list.h"
#include "channels/diff_format.h"
#include "data/receiver_data_block.h"
#include "operations/receiver_operations.h"

namespace tavlink {

const char* const kRestartReceiverText =
    "\n The receiver answers a read of its data only after it starts again. \n"
    " Turn it off and on now; the read goes on until it answers. ";

namespace {

// Where the blocks differ that no record explains: "2 bytes differ outside
// the records, the first at offset 0xF000".
std::string OutsideText(size_t count, size_t first) {
  char text[128];
  std::snprintf(text, sizeof text, "%zu byte%s differ%s outside the records, the first at 0x%04zX",
                count, count == 1 ? "" : "s", count == 1 ? "s" : "", first);
  return text;
}

}  // namespace

Verification VerifyFactoryData(OperationHost& host, const ReceiverDataBlock& sent) {
  Verification result;
  if (!host.Ask(Question::kRestartReceiver, kRestartReceiverText)) return result;
  result.held = std::make_unique<ReceiverDataBlock>();
  do {
    result.outcome = ReceiveUserData(host, *result.held);
  } while (result.outcome == TransferOutcome::kNoAnswer);
  if (result.outcome != TransferOutcome::kSucceeded) {
    result.held.reset();
    result.summary = "Not verified: the read back did not finish.";
    return result;
  }

  size_t first = 0;
  for (size_t i = ReceiverDataBlock::kSize; i-- > 0;) {
    if (sent.bytes()[i] == result.held->bytes()[i]) continue;
    ++result.bytesDiffering;
    first = i;
  }
  if (result.bytesDiffering == 0) {
    result.verified = true;
    result.summary = "Verified: the receiver holds what was written.";
    return result;
  }
  result.differences = channels::CompareLists(channels::ChannelList::FromBlock(sent),
                                              channels::ChannelList::FromBlock(*result.held),
                                              {.kept_bytes = true});
  result.listing = channels::DiffListing(result.differences);
  result.summary = "Not verified: the receiver holds something else: ";
  if (result.differences.empty()) {
    result.summary += OutsideText(result.bytesDiffering, first) + ".";
    result.listing = OutsideText(result.bytesDiffering, first) + "\n";
  } else {
    result.summary += channels::DiffSummary(result.differences) + ".";
  }
  return result;
}

}  // namespace tavlink
