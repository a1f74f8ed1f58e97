#include "operations/receiver_operations.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <span>

#include "data/receiver_data_block.h"
#include "files/data_text_file.h"
#include "files/input_file.h"
#include "files/save_target.h"
#include "operations/connect_answer.h"
#include "operations/operation_texts.h"
#include "operations/rom_image.h"
#include "transfer/transfer_file.h"

namespace tavlink {
namespace {

TransferRequest RequestOf(int operation) {
  TransferRequest request;
  request.operation = operation;
  return request;
}

// Opens `path`, or nothing after telling the host why not.
std::optional<InputFile> OpenInput(OperationHost& host, const std::string& path) {
  int error = 0;
  std::optional<InputFile> file = OpenInputFile(path, &error);
  if (!file) host.FileFailed(FileAction::kOpen, path, error);
  return file;
}

// Opens and checks the ROM image `path`: its stream at byte 42, or nothing
// after telling the host why not.
std::optional<InputFile> OpenRomImage(OperationHost& host, const std::string& path) {
  std::optional<InputFile> rom = OpenInput(host, path);
  if (!rom) return std::nullopt;
  int error = 0;
  switch (CheckRomImage(rom->stream.get(), rom->length, &error)) {
    case RomCheck::kUnreadable:
      host.FileFailed(FileAction::kRead, path, error);
      return std::nullopt;
    case RomCheck::kWrongImage:
      host.Tell({Notice::Kind::kWrongRomImage, std::string(kWrongRomImage), path, {}});
      return std::nullopt;
    case RomCheck::kTooLong:  // as wrong as a bad header: nothing is sent
      host.Tell({Notice::Kind::kWrongRomImage, std::string(kWrongRomImage), path,
                 path + " is too long for a ROM image: " + std::to_string(rom->length) +
                     " bytes, at most " + std::to_string(kMaxRomImageSize) + "."});
      return std::nullopt;
    case RomCheck::kGood:
      break;
  }
  return rom;
}

}  // namespace

BlockCounts CountsOf(const ReceiverDataBlock& block) {
  return {std::clamp(block.sat_count(), 0, kMaxSatellites),
          std::clamp(block.tp_count(), 0, kMaxTransponders),
          std::clamp(block.service_count(), 0, kMaxServices), block.antenna_config()};
}

ConnectResult ConnectToReceiver(OperationHost& host) {
  std::array<uint8_t, kAnswerSize> answer{};
  TransferRequest request = RequestOf(OP_CONNECT);
  request.answer = answer;
  ConnectResult result;
  result.outcome = host.RunSession(request);
  if (answer[0] == 0) return result;
  const std::span<const uint8_t> area(answer);
  result.connected = true;
  result.softwareVersion = AnswerVersionField(area, kSoftwareVersionAt);
  result.hardwareVersion = AnswerVersionField(area, kHardwareVersionAt);
  return result;
}

std::optional<uint64_t> CheckRomImageFile(OperationHost& host, const std::string& path) {
  const std::optional<InputFile> rom = OpenRomImage(host, path);
  if (!rom) return std::nullopt;
  return rom->length;
}

UpgradeResult UpgradeSoftware(OperationHost& host, const std::string& path) {
  UpgradeResult result;
  const std::optional<InputFile> rom = OpenRomImage(host, path);
  if (!rom) return result;
  result.bodyBytes = rom->length - kRomHeaderSize;
  // The worker sends the body from where the check left the file: byte 42.
  StdioTransferFile body(rom->stream.get());
  TransferRequest request = RequestOf(OP_UPGRADE);
  request.file = &body;
  result.outcome = host.RunSession(request);
  if (result.outcome == TransferOutcome::kFileFailed)
    host.FileFailed(FileAction::kRead, path, body.error());
  return result;
}

bool ConfirmReceiverOff(OperationHost& host) {
  return host.Ask(Question::kTurnOffReceiver, kTurnOffReceiver);
}

TransferOutcome ReceiveUserData(OperationHost& host, ReceiverDataBlock& block) {
  // The worker fills a scratch copy; a failed or stopped read leaves the
  // caller's block as it was.
  auto received = std::make_unique<ReceiverDataBlock>(block);
  TransferRequest request = RequestOf(OP_READ_USER_DATA);
  request.block = received.get();
  const TransferOutcome outcome = host.RunSession(request);
  if (outcome == TransferOutcome::kSucceeded) block = *received;
  return outcome;
}

SavedText SaveUserDataText(OperationHost& host, SaveTarget& target, const std::string& path,
                           const ReceiverDataBlock& block) {
  SavedText result;
  std::optional<std::string> text = DataTextToSave(block);
  if (!text) {
    host.Tell({Notice::Kind::kFactoryDataNotValid, std::string(kFactoryDataNotValid), path, {}});
    return result;
  }
  // A short write leaves the stream's error indicator set, which Commit
  // reports.
  std::fwrite(text->data(), 1, text->size(), target.stream());
  int error = 0;
  if (!target.Commit(&error)) {
    host.FileFailed(FileAction::kWrite, path, error);
    return result;
  }
  result.saved = true;
  result.text = std::move(*text);
  // Told now, not when the technician tries to write the file back.
  if (const std::string refusal = ReadBackError(result.text); !refusal.empty())
    host.Tell({Notice::Kind::kSavedTextRefused,
               "\n " + std::string(kSavedTextRefused) + "\n\n" + refusal, path, refusal});
  return result;
}

UserDataRead ReadUserDataToFile(OperationHost& host, SaveTarget& target, const std::string& path,
                                ReceiverDataBlock& block) {
  UserDataRead result;
  result.outcome = ReceiveUserData(host, block);
  if (result.outcome != TransferOutcome::kSucceeded) {
    // Nothing is wrong with the receiver's data: the read did not finish.
    host.Tell({Notice::Kind::kReadNotFinished, ReadNotFinishedText(path, target.TargetExisted()),
               path, {}});
    return result;
  }
  result.saved = SaveUserDataText(host, target, path, block);
  return result;
}

LoadResult LoadDataText(OperationHost& host, const std::string& path, ReceiverDataBlock& block) {
  const std::optional<InputFile> source = OpenInput(host, path);
  if (!source) return LoadResult::kFileFailed;
  const DataTextRead read = ReadDataTextFrom(source->stream.get(), block);
  if (read.error != 0) {
    host.FileFailed(FileAction::kRead, path, read.error);
    return LoadResult::kFileFailed;
  }
  if (read.result != 0) {
    host.Tell({Notice::Kind::kReaderRefused, read.message, path, read.message});
    return LoadResult::kRefused;
  }
  return LoadResult::kLoaded;
}

bool ConfirmFactoryData(OperationHost& host, const std::string& path,
                        const ReceiverDataBlock& block) {
  if (!CountsOf(block).Empty()) return true;
  return host.Ask(Question::kWriteEmptyData, EmptyDataQuestion(path));
}

TransferOutcome WriteFactoryData(OperationHost& host, ReceiverDataBlock& block) {
  TransferRequest request = RequestOf(OP_WRITE_FACTORY);
  request.block = &block;
  return host.RunSession(request);
}

BackupResult BackupUserData(OperationHost& host, SaveTarget& target, const std::string& path) {
  // The worker writes into the target as the data arrives; the backup
  // reaches its file only when it is complete.
  BackupResult result;
  StdioTransferFile file(target.stream());
  TransferRequest request = RequestOf(OP_BACKUP);
  request.file = &file;
  result.outcome = host.RunSession(request);
  if (result.outcome != TransferOutcome::kSucceeded) return result;
  result.bytes = static_cast<uint64_t>(std::max(std::ftell(target.stream()), 0L));
  int error = 0;
  if (!target.Commit(&error)) {
    host.FileFailed(FileAction::kWrite, path, error);
    return result;
  }
  result.saved = true;
  return result;
}

RestoreResult RestoreUserData(OperationHost& host, const std::string& path) {
  RestoreResult result;
  const std::optional<InputFile> source = OpenInput(host, path);
  if (!source) return result;
  result.bytes = source->length;
  StdioTransferFile data(source->stream.get());
  TransferRequest request = RequestOf(OP_RESTORE);
  request.file = &data;
  result.outcome = host.RunSession(request);
  return result;
}

}  // namespace tavlink
