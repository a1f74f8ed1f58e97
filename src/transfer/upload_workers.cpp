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
using worker::StopRequested;

constexpr size_t kImagePiece = 4080;
constexpr size_t kFactoryPiece = 2048;

// Where the upgrade and the factory write differ: the request and closing
// codes, the block count, and where each payload comes from.
class UploadSource {
 public:
  virtual ~UploadSource() = default;
  virtual int Request() const = 0;
  virtual int Closing() const = 0;
  // Fills the first payload; false when the source cannot be read.
  virtual bool First(std::array<uint8_t, kMaxPayload>& payload, size_t* length) = 0;
  // Fills the next payload after an FC_ACK; false when the source cannot be
  // read. *done tells that everything has been sent.
  virtual bool Next(std::array<uint8_t, kMaxPayload>& payload, size_t* length, bool* done) = 0;
};

class ImageSource final : public UploadSource {
 public:
  explicit ImageSource(TransferFile* file) : file_(file) {}
  int Request() const override { return FC_UPGRADE; }
  int Closing() const override { return FC_UPGRADE_END; }

  // The block count from the file's length L: (L - 10) / 4080 rounded up, in
  // unsigned 32-bit arithmetic, as the receiver's progress counts it.
  bool BlockTotal(int* blockTotal) {
    const auto length = file_ ? file_->Length() : std::nullopt;
    if (!length) return false;
    length_ = static_cast<uint32_t>(*length);
    *blockTotal = static_cast<int>((length_ - 10u + (kImagePiece - 1)) / kImagePiece);
    return true;
  }

  bool First(std::array<uint8_t, kMaxPayload>& payload, size_t* length) override {
    WriteBe32(payload.data(), length_ - 42u);  // the image length
    const auto got = file_->Read(payload.data() + 4, kImagePiece);
    if (!got) return false;
    *length = 4 + *got;
    return true;
  }

  bool Next(std::array<uint8_t, kMaxPayload>& payload, size_t* length, bool* done) override {
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

class BlockSource final : public UploadSource {
 public:
  explicit BlockSource(const ReceiverDataBlock* block) : block_(block) {}
  int Request() const override { return FC_FACTORY; }
  int Closing() const override { return FC_FACTORY_END; }

  bool First(std::array<uint8_t, kMaxPayload>& payload, size_t* length) override {
    std::memcpy(payload.data(), block_->bytes(), kFactoryPiece);
    *length = kFactoryPiece;
    return true;
  }

  bool Next(std::array<uint8_t, kMaxPayload>& payload, size_t* length, bool* done) override {
    sent_ += kFactoryPiece;
    *done = sent_ >= ReceiverDataBlock::kSize;
    if (!*done) std::memcpy(payload.data(), block_->bytes() + sent_, kFactoryPiece);
    *length = *done ? 0 : kFactoryPiece;
    return true;
  }

 private:
  const ReceiverDataBlock* block_;
  size_t sent_ = 0;
};

// The steps the upgrade and the factory write share.
void PacedUpload(TransferDialog& dialog, UploadSource& source, int blockTotal) {
  std::array<uint8_t, kMaxPayload> payload;
  size_t length = 0;
  int errorCount = 0;
  int block = 0;

  dialog.SetProgressRange(blockTotal);
  dialog.SetStatus("Connecting...");

  // Request, repeated while the receiver stays silent.
  bool ready = false;
  for (;;) {
    if (StopRequested(dialog)) return;
    SendCode(dialog.port, source.Request());
    dialog.Pause(100);
    const int answer = ReceiveFrame(dialog.port, nullptr, nullptr);
    if (answer == FC_READY) {
      ready = true;
      break;
    }
    if (answer == FC_ACK) break;
    if (answer != RX_TIMEOUT) return dialog.FailureEnding();
  }
  // Wait for readiness, as long as it takes.
  while (!ready) {
    if (StopRequested(dialog)) return;
    const int answer = ReceiveFrame(dialog.port, nullptr, nullptr);
    if (StopRequested(dialog)) return;
    if (answer == FC_READY) break;
    if (answer != RX_TIMEOUT) return dialog.FailureEnding();
  }

  dialog.SetStatus("Connection complete...");
  SendCode(dialog.port, source.Request());
  dialog.Pause(2000);
  if (!source.First(payload, &length)) return dialog.FailureEnding();
  dialog.SetStatus("Uploading...");

  for (bool more = true; more;) {
    if (StopRequested(dialog)) return;
    SendData(dialog.port, payload.data(), length);
    dialog.Pause(1000);
    if (StopRequested(dialog)) return;
    const int answer = ReceiveFrame(dialog.port, nullptr, nullptr);
    if (answer == FC_ACK) {
      if (StopRequested(dialog)) return;
      ++block;
      bool done = false;
      if (!source.Next(payload, &length, &done)) return dialog.FailureEnding();
      dialog.SetProgressPos(block);
      dialog.SetStatus(ProgressText("Uploading...", block, blockTotal, errorCount, false));
      if (done) {
        SendCode(dialog.port, source.Closing());
        if (ReceiveFrame(dialog.port, nullptr, nullptr) != FC_ACK) return dialog.FailureEnding();
        dialog.SetStatus("Uploading complete...");
        more = false;
      }
    } else if (answer == FC_NAK) {
      if (StopRequested(dialog)) return;
      ++errorCount;
      dialog.SetStatus(ProgressText("Uploading...", block, blockTotal, errorCount, true));
    } else {
      return dialog.FailureEnding();
    }
  }

  // A successful upload ends without a result box.
  dialog.SetStatus("Transfer Complete...");
  dialog.Pause(3000);
  dialog.SilentFinish(TransferOutcome::kSucceeded);
}

}  // namespace

void UpgradeWorker(TransferDialog& dialog) {
  ImageSource source(dialog.dataFile);
  int blockTotal = 0;
  if (!source.BlockTotal(&blockTotal)) {
    if (StopRequested(dialog)) return;
    return dialog.FailureEnding();
  }
  PacedUpload(dialog, source, blockTotal);
}

void WriteFactoryWorker(TransferDialog& dialog) {
  BlockSource source(dialog.dataBlock);
  PacedUpload(dialog, source, static_cast<int>(ReceiverDataBlock::kSize / kFactoryPiece));
}

void RestoreWorker(TransferDialog& dialog) {
  std::array<uint8_t, kMaxPayload> payload;
  int errorCount = 0;
  int block = 0;

  dialog.SetStatus("Connecting...");
  if (StopRequested(dialog)) return;
  SendCode(dialog.port, FC_RESTORE);
  if (StopRequested(dialog)) return;
  if (ReceiveFrame(dialog.port, nullptr, nullptr) != FC_ACK) return dialog.FailureEnding();

  TransferFile* file = dialog.dataFile;
  const auto fileLength = file ? file->Length() : std::nullopt;
  const auto first = file ? file->Read(payload.data(), 4 + kImagePiece) : std::nullopt;
  if (!fileLength || !first) return dialog.FailureEnding();
  // The file must be its 4-byte length field N and exactly N bytes; a file
  // too short to hold the field, or with N = 0, is as wrong as a bad N.
  if (*first < 4) return dialog.ReportAndFinish(kDoneBadFile, TransferOutcome::kFailed);
  const uint64_t n = ReadBe32(payload.data());
  if (n == 0 || *fileLength - 4 != n)
    return dialog.ReportAndFinish(kDoneBadFile, TransferOutcome::kFailed);
  size_t length = *first;

  const int blockTotal = static_cast<int>((n + kImagePiece - 1) / kImagePiece);
  dialog.SetProgressRange(blockTotal);
  dialog.SetStatus("Uploading...");

  for (;;) {
    if (StopRequested(dialog)) return;
    SendData(dialog.port, payload.data(), length);
    if (StopRequested(dialog)) return;
    const int answer = ReceiveFrame(dialog.port, nullptr, nullptr);
    if (answer == FC_ACK) {
      if (StopRequested(dialog)) return;
      ++block;
      const auto got = file->Read(payload.data(), kImagePiece);
      if (!got) return dialog.FailureEnding();
      length = *got;
      dialog.SetProgressPos(block);
      dialog.SetStatus(ProgressText("Uploading...", block, blockTotal, errorCount, false));
      if (block == blockTotal) break;
    } else if (answer == FC_NAK) {
      if (StopRequested(dialog)) return;
      ++errorCount;
      dialog.SetStatus(ProgressText("Uploading...", block, blockTotal, errorCount, true));
    } else {
      return dialog.FailureEnding();
    }
  }

  SendCode(dialog.port, FC_RESTORE_END);
  if (ReceiveFrame(dialog.port, nullptr, nullptr) == FC_ACK) return dialog.SuccessEnding();
  dialog.FailureEnding();
}

}  // namespace tavlink
