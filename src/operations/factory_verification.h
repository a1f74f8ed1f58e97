#pragma once
// The proof that a factory write took: the receiver's user data read back
// and compared with the block that was sent. A receiver answers a read of
// user data only once it has started again, so the technician is asked to
// turn it off and on, and the read's request goes out again for as long as
// the receiver stays silent (the host's stop, Cancel or a time limit, ends
// it), as an upload's request does.
//
// Threading: the caller's user-interface thread.

#include <cstddef>
#include <memory>
#include <string>

#include "channels/list_compare.h"
#include "operations/operation_host.h"

namespace tavlink {

class ReceiverDataBlock;

struct Verification {
  // How the read back ended; kNotRun when the technician did not go on.
  TransferOutcome outcome = TransferOutcome::kNotRun;
  bool verified = false;  // the receiver holds the sent block byte for byte
  // What the receiver holds against what was sent, by record, kept bytes
  // included; and how many of the 65,536 bytes differ in all (some may lie
  // where no record is: the header, the unused slots, the last 4,096 bytes).
  channels::ListDiff differences;
  size_t bytesDiffering = 0;
  std::unique_ptr<ReceiverDataBlock> held;  // the block read back, when it was read
  // "Verified: the receiver holds what was written." or what differs, in
  // one line; the differences one per line (empty when verified).
  std::string summary;
  std::string listing;
};

// The question before the read back (Question::kRestartReceiver).
extern const char* const kRestartReceiverText;

// Reads the receiver's user data back after `sent` was written and compares.
Verification VerifyFactoryData(OperationHost& host, const ReceiverDataBlock& sent);

}  // namespace tavlink
