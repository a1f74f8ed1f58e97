#pragma once
// One transfer session from start to end: what every front end (and the
// tests) does to run an operation. The caller keeps the request's buffer,
// file and block, which are the worker's until RunTransfer returns.

#include <cstdint>
#include <span>

#include "transfer/transfer_dialog.h"

namespace tavlink {

class ReceiverDataBlock;
class TransferFile;

// One session as a command hands it over: what Setup, SetDataFile and
// SetDataBlock take.
struct TransferRequest {
  int portNumber = 0;
  int operation = 0;
  std::span<uint8_t> answer;           // operation 16 only
  TransferFile* file = nullptr;        // operations 18, 20 and 22
  ReceiverDataBlock* block = nullptr;  // operations 30 and 32
};

// Builds the session for `request` in `view`, runs it modally, and returns
// how it ended once its worker has finished and its port is closed.
TransferOutcome RunTransfer(TransferView& view, const TransferEnvironment& environment,
                            const TransferRequest& request);

}  // namespace tavlink
