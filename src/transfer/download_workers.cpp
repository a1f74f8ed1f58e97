// The procedures that bring data from the receiver: connect, read user data
// and backup. Each is a stop-and-wait exchange: the PC sends the request,
// the receiver answers FC_ACK, then sends FC_DATA frames that the PC answers
// FC_ACK (or FC_NAK after a bad CRC), and ends with its closing code.

#include <algorithm>
#include <array>
#include <cstring>

#include "link/big_endian.h"
#include "link/frame.h"
#include "transfer/transfer_dialog.h"
#include "transfer/worker_support.h"

namespace tavlink {

using worker::ProgressText;
using worker::StopRequested;

namespace {

// A data frame whose CRC failed: ask for it again with FC_NAK, count it and
// show the retry text. False when a stop was taken at one of its check points.
bool AskAgain(TransferDialog& dialog, int block, int blockTotal, int* errorCount) {
  if (StopRequested(dialog)) return false;
  SendCode(dialog.Port(), FC_NAK);
  if (StopRequested(dialog)) return false;
  ++*errorCount;
  dialog.SetStatus(ProgressText("Downloading...", block, blockTotal, *errorCount, true));
  return true;
}

}  // namespace

void ConnectWorker(TransferDialog& dialog) {
  std::array<uint8_t, kMaxPayload> buffer;
  size_t writePosition = 0;
  dialog.SetStatus(kConnectingStatus);
  if (StopRequested(dialog)) return;
  SendCode(dialog.Port(), FC_CONNECT);
  if (ReceiveFrame(dialog.Port(), nullptr, nullptr) != FC_ACK) return dialog.FailureEnding();

  for (;;) {
    if (StopRequested(dialog)) return;
    uint32_t length = 0;
    const int result = ReceiveFrame(dialog.Port(), buffer.data(), &length);
    if (result == FC_DATA) {
      // The answer is kept up to the end of the caller's buffer; what a
      // receiver sends beyond it is dropped.
      const size_t room = dialog.Answer().size() - std::min(writePosition, dialog.Answer().size());
      const size_t n = std::min<size_t>(length, room);
      if (n > 0) std::memcpy(dialog.Answer().data() + writePosition, buffer.data(), n);
      writePosition += length;
      SendCode(dialog.Port(), FC_ACK);
    } else if (result == RX_BAD_CRC) {
      SendCode(dialog.Port(), FC_NAK);
    } else if (result == FC_CONNECT_END) {
      SendCode(dialog.Port(), FC_ACK);
      if (StopRequested(dialog)) return;
      return dialog.SuccessEnding();
    } else {
      return dialog.FailureEnding();
    }
  }
}

void ReadUserDataWorker(TransferDialog& dialog) {
  std::array<uint8_t, kMaxPayload> buffer;
  int blockTotal = 16;
  int errorCount = 0;
  int block = 0;
  size_t writePosition = 0;

  dialog.SetStatus(kConnectingStatus);
  SendCode(dialog.Port(), FC_USERDATA);
  if (const int answer = ReceiveFrame(dialog.Port(), nullptr, nullptr); answer != FC_ACK) {
    // A receiver that is starting does not answer yet: the caller may ask
    // again, which it may not after a refusal or on a device that has gone.
    const bool silent =
        answer == RX_TIMEOUT && !dialog.Port().DeviceGone() && !dialog.CancelRequested();
    return dialog.SilentFinish(silent ? TransferOutcome::kNoAnswer : TransferOutcome::kFailed);
  }

  // The data phase runs at 19200 baud.
  dialog.Port().Close();
  dialog.Port().Open(19200);
  dialog.SetStatus("Downloading...");

  // A device that has gone has had its box already; one is enough.
  auto communicationError = [&dialog](int number) {
    char text[64];
    std::snprintf(text, sizeof text, "\n Communication Eror !!!! \n Err.# = %d", number);
    if (!dialog.Port().DeviceGone()) dialog.ShowMessage(text, "", BoxButtons::kOk);
    if (StopRequested(dialog)) return;
    dialog.FailureEnding();
  };

  for (;;) {
    if (StopRequested(dialog)) return;
    uint32_t length = 0;
    const int result = ReceiveFrame(dialog.Port(), buffer.data(), &length);
    if (result == FC_DATA) {
      if (StopRequested(dialog)) return;
      // More than the block holds, or an empty first payload (which gives
      // no block count), cannot be a user data image.
      if (length > ReceiverDataBlock::kSize - writePosition || (block == 0 && length == 0))
        return communicationError(result);
      if (length > 0)
        std::memcpy(dialog.DataBlock()->bytes() + writePosition, buffer.data(), length);
      writePosition += length;
      if (block == 0) {
        blockTotal = static_cast<int>(ReceiverDataBlock::kSize / length);
        dialog.SetProgressRange(blockTotal);
      }
      ++block;
      dialog.SetProgressPos(block);
      dialog.SetStatus(ProgressText("Downloading...", block, blockTotal, errorCount, false));
      dialog.Pause(100);
      SendCode(dialog.Port(), FC_ACK);
    } else if (result == RX_BAD_CRC) {
      if (!AskAgain(dialog, block, blockTotal, &errorCount)) return;
    } else if (result == FC_USERDATA_END) {
      SendCode(dialog.Port(), FC_ACK);
      return dialog.SuccessEnding();
    } else {
      return communicationError(result);
    }
  }
}

void BackupWorker(TransferDialog& dialog) {
  std::array<uint8_t, kMaxPayload> buffer;
  int blockTotal = 0;  // known from the first payload; 0 until then
  int errorCount = 0;
  int block = 0;

  dialog.SetStatus(kConnectingStatus);
  if (StopRequested(dialog)) return;
  SendCode(dialog.Port(), FC_BACKUP);
  if (StopRequested(dialog)) return;
  if (ReceiveFrame(dialog.Port(), nullptr, nullptr) != FC_ACK) return dialog.FailureEnding();
  dialog.SetStatus("Downloading...");

  for (;;) {
    if (StopRequested(dialog)) return;
    uint32_t length = 0;
    const int result = ReceiveFrame(dialog.Port(), buffer.data(), &length);
    if (result == FC_DATA) {
      if (StopRequested(dialog)) return;
      const uint8_t* data = buffer.data();
      size_t size = length;
      if (block == 0) {
        if (length < 2) return dialog.FailureEnding();  // no block count to read
        blockTotal = static_cast<int>(ReadBe16(buffer.data()));
        dialog.SetProgressRange(blockTotal);
        data += 2;
        size -= 2;
      }
      if (!dialog.DataFile() || !dialog.DataFile()->Write(data, size))
        return dialog.FailureEnding();
      SendCode(dialog.Port(), FC_ACK);
      ++block;
      dialog.SetProgressPos(block);
      dialog.SetStatus(ProgressText("Downloading...", block, blockTotal, errorCount, false));
    } else if (result == RX_BAD_CRC) {
      if (!AskAgain(dialog, block, blockTotal, &errorCount)) return;
    } else if (result == FC_BACKUP_END) {
      SendCode(dialog.Port(), FC_ACK);
      return dialog.SuccessEnding();
    } else {
      if (StopRequested(dialog)) return;
      return dialog.FailureEnding();
    }
  }
}

}  // namespace tavlink
