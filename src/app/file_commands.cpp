// The three file commands: Upgrade Software, Read User Data and Write
// Factory Data.
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "app/locked_file.h"
#include "app/main_logic.h"
#include "data/data_text_reader.h"
#include "data/data_text_writer.h"
#include "data/text_io.h"
#include "transfer/saved_file.h"
#include "transfer/saved_text.h"
#include "transfer/transfer_file.h"

namespace tavlink {
namespace {

// The file-error box's text; `error` is the errno seen, 0 when unknown.
std::string FileErrorText(std::string_view verb, const std::string& path, int error) {
  std::string text = "An error occurred while " + std::string(verb) + " " + path + ".";
  if (error != 0) text += std::string("\n") + std::strerror(error);
  return text;
}

}  // namespace

void MainLogic::UpgradeSoftware() {
  const std::optional<std::string> path = shell_.ChooseFile(RomImageChoice());
  if (!path) return;
  std::optional<LockedFile> rom = LockedFile::OpenForReading(*path);
  if (!rom) return;

  std::array<uint8_t, kRomHeaderSize> header{};
  errno = 0;
  const size_t got = std::fread(header.data(), 1, header.size(), rom->get());
  if (std::ferror(rom->get())) {
    shell_.ShowFileError(FileErrorText("reading", *path, errno));
    return;
  }
  // The worker sends the body from where the check left the file: byte 42.
  StdioTransferFile body(rom->get());
  // An image too long for the upgrade's 32-bit length is as wrong as a bad
  // header: nothing is sent.
  const std::optional<uint64_t> length = body.Length();
  if (!IsRomImageHeader(header.data(), got) || (length && *length > kMaxRomImageSize)) {
    shell_.ShowAppMessage(kWrongRomImage, BoxButtons::kOk);
    return;
  }

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

  // A link is written through: the file it names changes, the link stays.
  const std::optional<std::string> targetPath = ResolveSaveTarget(*path);
  if (!targetPath) return;
  // Hold the chosen file for the whole command, and write the new text
  // beside it where possible. Where not (a folder the user may not write, a
  // path at the length limit, a device), the file itself is rewritten. Either
  // way it changes only when a valid block has arrived.
  std::optional<LockedFile> target = LockedFile::OpenForReplacing(*targetPath);
  if (!target) return;
  std::optional<ReplacementFile> replacement =
      target->regular() ? ReplacementFile::Create(*targetPath) : std::nullopt;

  // The worker fills a scratch copy; a failed or stopped transfer leaves
  // the application's block as it was.
  auto received = std::make_unique<ReceiverDataBlock>(block_);
  TransferRequest request;
  request.portNumber = selectedPort;
  request.operation = OP_READ_USER_DATA;
  request.block = received.get();
  const TransferOutcome outcome = RunTransfer(request);
  if (outcome == TransferOutcome::kSucceeded) block_ = *received;

  if (outcome != TransferOutcome::kSucceeded || !received->IsValid()) {
    if (target->created()) target->Unlink();
    shell_.ShowAppMessage(kFactoryDataNotValid, BoxButtons::kOk);
    return;
  }

  StringTextOutput text;
  WriteDataText(*received, text);
  const bool saved = replacement ? replacement->Write(text.str()) && replacement->Commit()
                                 : target->Overwrite(text.str());
  if (!saved) {
    const int error = errno;
    if (target->created()) target->Unlink();
    shell_.ShowFileError(FileErrorText("writing", *path, error));
    return;
  }
  // Warn now, not when the technician tries to write the file back.
  const std::string refusal = ReadBackError(text.str());
  if (!refusal.empty())
    shell_.ShowAppMessage("\n " + std::string(kSavedTextRefused) + "\n\n" + refusal,
                          BoxButtons::kOk);
}

void MainLogic::WriteFactoryData() {
  const std::optional<std::string> path = shell_.ChooseFile(DataTextChoice());
  if (!path) return;
  std::optional<LockedFile> source = LockedFile::OpenForReading(*path);
  if (!source) return;

  errno = 0;
  FileTextInput text(source->get());
  DataTextReader reader(block_);
  const int result = reader.ReadDataText(text);
  if (text.failed()) {
    shell_.ShowFileError(FileErrorText("reading", *path, errno));
    return;
  }
  if (result != kReadOk) {
    shell_.ShowAppMessage(reader.GetErrorText(), BoxButtons::kOk);
    return;
  }

  TransferRequest request;
  request.portNumber = selectedPort;
  request.operation = OP_WRITE_FACTORY;
  request.block = &block_;
  RunTransfer(request);
}

}  // namespace tavlink
