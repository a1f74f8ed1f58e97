#include "transfer/transfer_runner.h"

namespace tavlink {

TransferOutcome RunTransfer(TransferView& view, const TransferEnvironment& environment,
                            const TransferRequest& request) {
  TransferDialog dialog(view, environment);
  dialog.Setup(request.portNumber, request.operation, request.answer);
  dialog.SetDataFile(request.file);
  dialog.SetDataBlock(request.block);
  dialog.DoModal();
  return dialog.Outcome();
}

}  // namespace tavlink
