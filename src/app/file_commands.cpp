// The three file commands: Upgrade Software, Read User Data and Write
// Factory Data. The file side itself (opening, checking, reading, saving)
// is the one both front ends share, in src/files.
#include <memory>
#include <string>

#include "app/main_logic.h"
#include "files/file_error.h"
#include "files/file_side.h"
#include "files/input_file.h"
#include "files/save_target.h"
#include "files/saved_text.h"
#include "transfer/transfer_file.h"

namespace tavlink {

std::string FileErrorText(std::string_view verb, const std::string& path, int error) {
  std::string text = "An error occurred while " + std::string(verb) + " " + path + ".";
  if (error != 0) text += "\n" + DescribeFileError(error);
  return text;
}

void MainLogic::UpgradeSoftware() {
  const std::optional<std::string> path = shell_.ChooseFile(RomImageChoice());
  if (!path) return;
  int error = 0;
  std::optional<InputFile> rom = OpenInputFile(*path, &error);
  if (!rom) return;  // missing, locked or forbidden: the command simply ends

  switch (CheckRomImage(rom->stream.get(), rom->length, &error)) {
    case RomCheck::kUnreadable:
      return shell_.ShowFileError(FileErrorText("reading", *path, error));
    case RomCheck::kWrongImage:
    case RomCheck::kTooLong:  // as wrong as a bad header: nothing is sent
      shell_.ShowAppMessage(kWrongRomImage, BoxButtons::kOk);
      return;
    case RomCheck::kGood:
      break;
  }
  // The worker sends the body from where the check left the file: byte 42.
  StdioTransferFile body(rom->stream.get());
  TransferRequest request;
  request.portNumber = selectedPort;
  request.operation = OP_UPGRADE;
  request.file = &body;
  RunTransfer(request);
}

void MainLogic::ReadUserData() {
  if (shell_.ShowAppMessage(kTurnOffReceiver, BoxButtons::kOkCancel) != BoxAnswer::kOk) return;
  const std::optional<std::string> path = shell_.ChooseFile(DataTextChoice());
  if (!path) return;

  // Held for the whole command; it changes only when a valid block has
  // arrived, and a failed read never destroys an existing file.
  int error = 0;
  const std::unique_ptr<SaveTarget> target = SaveTarget::Prepare(*path, {}, {}, &error);
  if (!target) return;

  // The worker fills a scratch copy; a failed or stopped transfer leaves
  // the application's block as it was.
  auto received = std::make_unique<ReceiverDataBlock>(block_);
  TransferRequest request;
  request.portNumber = selectedPort;
  request.operation = OP_READ_USER_DATA;
  request.block = received.get();
  const TransferOutcome outcome = RunTransfer(request);
  if (outcome == TransferOutcome::kSucceeded) block_ = *received;

  const std::optional<std::string> text =
      outcome == TransferOutcome::kSucceeded ? DataTextToSave(*received) : std::nullopt;
  if (!text) {
    shell_.ShowAppMessage(kFactoryDataNotValid, BoxButtons::kOk);
    return;
  }
  // A short write leaves the stream's error indicator set, which Commit
  // reports.
  std::fwrite(text->data(), 1, text->size(), target->stream());
  if (!target->Commit(&error)) {
    shell_.ShowFileError(FileErrorText("writing", *path, error));
    return;
  }
  // Warn now, not when the technician tries to write the file back.
  const std::string refusal = ReadBackError(*text);
  if (!refusal.empty())
    shell_.ShowAppMessage("\n " + std::string(kSavedTextRefused) + "\n\n" + refusal,
                          BoxButtons::kOk);
}

void MainLogic::WriteFactoryData() {
  const std::optional<std::string> path = shell_.ChooseFile(DataTextChoice());
  if (!path) return;
  int error = 0;
  std::optional<InputFile> source = OpenInputFile(*path, &error);
  if (!source) return;

  const DataTextRead read = ReadDataTextFrom(source->stream.get(), block_);
  if (read.error != 0) return shell_.ShowFileError(FileErrorText("reading", *path, read.error));
  if (read.result != 0) {
    shell_.ShowAppMessage(read.message, BoxButtons::kOk);
    return;
  }

  TransferRequest request;
  request.portNumber = selectedPort;
  request.operation = OP_WRITE_FACTORY;
  request.block = &block_;
  RunTransfer(request);
}

}  // namespace tavlink
