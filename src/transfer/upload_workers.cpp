// The procedures that carry data into the receiver: software upgrade,
// factory data write and restore. After each FC_DATA frame the PC reads one
// answer: FC_ACK moves on, FC_NAK sends the same frame again. The upgrade
// and the factory write first wait for the receiver's FC_READY and pace
// themselves with fixed pauses; the restore has neither.

#include <array>
#include <cstring>

#include "link/big_endian.h"
#include "link/frame.h"
#include "transfer/transfer_dialog.h"
#include "transfer/worker_support.h"

namespace tavlink {
namespace {

using worker::ProgressText;
using worker::ReceiverSilent;
using worker::StopRequested;

constexpr size_t kImagePiece = 4080;

using Payload = std::array<uint8_t, kMaxPayload>;

// Where an upload's pieces come from.
class UploadSource {
 public:
  virtual ~UploadSource() = default;
  // Fills the piece that follows the `acknowledged`-th acknowledged one;
  // false when the source cannot be read. `*done` tells that every piece
  // has been acknowledged and nothing is left to send.
  virtual bool Next(int acknowledged, Payload& payload, size_t* length, bool* done) = 0;
};

// The ROM image behind its header, in pieces of 4080 bytes.
class ImageSource final : public UploadSource {
 public:
  explicit ImageSource(TransferFile* file) : file_(file) {}

  // The block count from the file's length L: (L - 10) / 4080 rounded up, in
  // unsigned 32-bit arithmetic, as the receiver's progress counts it.
  bool BlockTotal(int* blockTotal) {
    const auto length = file_ ? file_->Length() : std::nullopt;
    if (!length) return false;
    length_ = static_cast<uint32_t>(*length);
    *blockTotal = static_cast<int>((length_ - 10u + (kImagePiece - 1)) / kImagePiece);
    return true;
  }

  // The first piece: the image length, then up to 4080 image bytes.
  bool First(Payload& payload, size_t* length) {
    WriteBe32(payload.data(), length_ - 42u);
    const auto got = file_->Read(payload.data() + 4, kImagePiece);
    if (!got) return false;
    *length = 4 + *got;
    return true;
  }

  bool Next(int, Payload& payload, size_t* length, bool* done) override {
    const auto got = file_->Read(payload.data(), kImagePiece);
    if (!got) return false;
    *length = *got;
    *done = *got == 0;
    return true;
  }

 private:
  TransferFile* file_;
  uint32_t length_ = 0;
};

// The data block, in 32 pieces of 2048 bytes.
class BlockSource final : public UploadSource {
 public:
  static constexpr int kBlockTotal = static_cast<int>(ReceiverDataBlock::kSize / kFactoryPiece);

  explicit BlockSource(const ReceiverDataBlock* block) : block_(block) {}

  bool Next(int acknowledged, Payload& payload, size_t* length, bool* done) override {
    const size_t offset = static_cast<size_t>(acknowledged) * kFactoryPiece;
    *done = offset >= ReceiverDataBlock::kSize;
    *length = *done ? 0 : kFactoryPiece;
    if (!*done) std::memcpy(payload.data(), block_->bytes() + offset, kFactoryPiece);
    return true;
  }

 private:
  const ReceiverDataBlock* block_;
};

// The restore file after its first piece, in pieces of 4080 bytes, until
// `blockTotal` pieces have been acknowledged.
class RestoreSource final : public UploadSource {
 public:
  RestoreSource(TransferFile* file, int blockTotal) : file_(file), blockTotal_(blockTotal) {}

  bool Next(int acknowledged, Payload& payload, size_t* length, bool* done) override {
    const auto got = file_->Read(payload.data(), kImagePiece);
    if (!got) return false;
    *length = *got;
    *done = acknowledged == blockTotal_;
    return true;
  }

 private:
  TransferFile* file_;
  int blockTotal_;
};

// Sends `payload` and the pieces that follow it, each until the receiver
// acknowledges it: FC_ACK moves on, FC_NAK sends the same piece again
// (counted), anything else fails the upload. `pauseMs` is the pause after
// each frame before its answer is read. True when every piece has been
// acknowledged; false when an ending was taken.
bool SendPieces(TransferDialog& dialog, UploadSource& source, int blockTotal, uint32_t pauseMs,
                Payload& payload, size_t length) {
  int block = 0;
  int errorCount = 0;
  for (;;) {
    if (StopRequested(dialog)) return false;
    SendData(dialog.Port(), payload.data(), length);
    if (pauseMs > 0) dialog.Pause(pauseMs);
    if (StopRequested(dialog)) return false;
    const int answer = ReceiveFrame(dialog.Port(), nullptr, nullptr);
    if (answer == FC_ACK) {
      if (StopRequested(dialog)) return false;
      ++block;
      bool done = false;
      if (!source.Next(block, payload, &length, &done)) {
        dialog.FileFailureEnding();
        return false;
      }
      dialog.SetProgressPos(block);
      dialog.SetStatus(ProgressText("Uploading...", block, blockTotal, errorCount, false));
      if (done) return true;
    } else if (answer == FC_NAK) {
      if (StopRequested(dialog)) return false;
      ++errorCount;
      dialog.SetStatus(ProgressText("Uploading...", block, blockTotal, errorCount, true));
    } else {
      dialog.FailureEnding();
      return false;
    }
  }
}

// The paced uploads' handshake: the request, repeated while the receiver
// stays silent, then the wait for FC_READY, as long as it takes. A device
// that has gone ends both, as any other answer does. True when the
// receiver is ready; false when an ending was taken.
bool AwaitReady(TransferDialog& dialog, int request) {
  for (;;) {
    if (StopRequested(dialog)) return false;
    SendCode(dialog.Port(), request);
    dialog.Pause(100);
    const int answer = ReceiveFrame(dialog.Port(), nullptr, nullptr);
    if (answer == FC_READY) return true;
    if (answer == FC_ACK) break;
    if (!ReceiverSilent(dialog, answer)) {
      dialog.FailureEnding();
      return false;
    }
  }
  for (;;) {
    if (StopRequested(dialog)) return false;
    const int answer = ReceiveFrame(dialog.Port(), nullptr, nullptr);
    if (StopRequested(dialog)) return false;
    if (answer == FC_READY) return true;
    if (!ReceiverSilent(dialog, answer)) {
      dialog.FailureEnding();
      return false;
    }
  }
}

// Sends `closing` and ends the session by its answer: true after FC_ACK;
// anything else takes the failure ending.
bool CloseUpload(TransferDialog& dialog, int closing) {
  SendCode(dialog.Port(), closing);
  if (ReceiveFrame(dialog.Port(), nullptr, nullptr) == FC_ACK) return true;
  dialog.FailureEnding();
  return false;
}

// What the upgrade and the factory write share: handshake, start, the
// paced pieces, the closing code, and the silent end after a pause.
// `first` fills the first piece.
template <typename FirstPiece>
void PacedUpload(TransferDialog& dialog, int request, UploadSource& source, int blockTotal,
                 FirstPiece first) {
  dialog.SetProgressRange(blockTotal);
  dialog.SetStatus(kConnectingStatus);
  if (!AwaitReady(dialog, request)) return;

  dialog.SetStatus("Connection complete...");
  SendCode(dialog.Port(), request);
  dialog.Pause(2000);
  Payload payload;
  size_t length = 0;
  if (!first(payload, &length)) return dialog.FileFailureEnding();
  dialog.SetStatus("Uploading...");

  if (!SendPieces(dialog, source, blockTotal, 1000, payload, length)) return;
  if (!CloseUpload(dialog, request + 1)) return;
  dialog.SetStatus("Uploading complete...");

  // A successful upload ends without a result box.
  dialog.SetStatus("Transfer Complete...");
  dialog.Pause(3000);
  dialog.SilentFinish(TransferOutcome::kSucceeded);
}

}  // namespace

void UpgradeWorker(TransferDialog& dialog) {
  ImageSource source(dialog.DataFile());
  int blockTotal = 0;
  if (!source.BlockTotal(&blockTotal)) {
    if (StopRequested(dialog)) return;
    return dialog.FileFailureEnding();
  }
  PacedUpload(dialog, FC_UPGRADE, source, blockTotal, [&source](Payload& payload, size_t* length) {
    return source.First(payload, length);
  });
}

void WriteFactoryWorker(TransferDialog& dialog) {
  BlockSource source(dialog.DataBlock());
  PacedUpload(dialog, FC_FACTORY, source, BlockSource::kBlockTotal,
              [&source](Payload& payload, size_t* length) {
                bool done = false;
                return source.Next(0, payload, length, &done);
              });
}

void RestoreWorker(TransferDialog& dialog) {
  dialog.SetStatus(kConnectingStatus);
  if (StopRequested(dialog)) return;
  SendCode(dialog.Port(), FC_RESTORE);
  if (StopRequested(dialog)) return;
  if (ReceiveFrame(dialog.Port(), nullptr, nullptr) != FC_ACK) return dialog.FailureEnding();

  TransferFile* file = dialog.DataFile();
  Payload payload;
  const auto fileLength = file ? file->Length() : std::nullopt;
  const auto first = file ? file->Read(payload.data(), 4 + kImagePiece) : std::nullopt;
  if (!fileLength || !first) return dialog.FailureEnding();
  // The file must be its 4-byte length field N and exactly N bytes; a file
  // too short to hold the field, or with N = 0, is as wrong as a bad N.
  if (*first < 4) return dialog.ReportAndFinish(kDoneBadFile, TransferOutcome::kFailed);
  const uint64_t n = ReadBe32(payload.data());
  if (n == 0 || *fileLength - 4 != n)
    return dialog.ReportAndFinish(kDoneBadFile, TransferOutcome::kFailed);

  const int blockTotal = static_cast<int>((n + kImagePiece - 1) / kImagePiece);
  dialog.SetProgressRange(blockTotal);
  dialog.SetStatus("Uploading...");
  RestoreSource source(file, blockTotal);
  if (!SendPieces(dialog, source, blockTotal, 0, payload, *first)) return;
  if (CloseUpload(dialog, FC_RESTORE_END)) dialog.SuccessEnding();
}

}  // namespace tavlink
