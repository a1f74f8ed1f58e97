#pragma once
// The editor's flows with the receiver beyond the operations themselves:
// the check of a written list, read back. After a factory write the
// receiver is turned off and on again so that it starts with the new list;
// then its user data is read and compared with what was sent.
//
// Threading: the user-interface thread, through the host's windows.

#include <memory>
#include <string>

#include "channels/list_compare.h"
#include "data/receiver_data_block.h"
#include "operations/operation_host.h"

namespace tavlink::editor {

// Asked before the list is read back.
inline constexpr std::string_view kRestartReceiverText =
    "The list is written.\n\nTurn the receiver off and on again, wait until it shows a "
    "picture, then press OK to read its list back and compare it with what was sent.";
// Asked when the receiver did not answer the read.
inline constexpr std::string_view kReceiverSilentText =
    "The receiver did not send its list.\n\nCheck that it is on and the cable is in, then "
    "press OK to try again.";

struct WriteVerification {
  TransferOutcome outcome = TransferOutcome::kNotRun;  // of the read back; kStopped: not asked
  bool verified = false;                               // the receiver holds the list that was sent
  channels::ListDiff differences;                      // sent (before) against held (after)
  bool bytesOutsideDiffer = false;                     // bytes no record carries differ
  std::unique_ptr<ReceiverDataBlock> received;         // after a read that succeeded
};

// Asks the technician to restart the receiver, reads its user data back
// (asking again while it stays silent, until the technician cancels) and
// compares it with `sent`.
WriteVerification VerifyWrittenList(OperationHost& host, const ReceiverDataBlock& sent);

}  // namespace tavlink::editor
