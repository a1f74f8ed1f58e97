#include "cli/offline_files.h"

#include <cerrno>
#include <cstring>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "files/data_text_file.h"
#include "files/file_error.h"
#include "files/input_file.h"

namespace tavlink::cli {
namespace {

int ReportErrno(Terminal& terminal, const char* what, const std::string& path, int error) {
  terminal.Err("tavlink-cli: " + std::string(what) + " " + path + ": " + std::strerror(error) +
               "\n");
  return kExitUsage;
}

}  // namespace

FilePtr OpenPlainFile(Terminal& terminal, const std::string& path, uint64_t* length) {
  int error = 0;
  std::optional<InputFile> input = OpenInputFile(path, &error);
  if (!input) {
    terminal.Err("tavlink-cli: cannot read " + path + ": " + DescribeFileError(error) + "\n");
    return nullptr;
  }
  *length = input->length;
  return std::move(input->stream);
}

int ReadDataTextFile(Terminal& terminal, const std::string& path, ReceiverDataBlock& block,
                     int* readerResult) {
  uint64_t length = 0;
  const FilePtr file = OpenPlainFile(terminal, path, &length);
  if (!file) return kExitUsage;
  const DataTextRead read = ReadDataTextFrom(file.get(), block);
  if (read.error != 0) return ReportErrno(terminal, "cannot read", path, read.error);
  if (readerResult != nullptr) *readerResult = read.result;
  if (read.result == 0) return kExitOk;
  terminal.Err(read.message.empty() || read.message.back() != '\n' ? read.message + "\n"
                                                                   : read.message);
  return kExitFailure;
}

int ReadBlockFile(Terminal& terminal, const std::string& path, ReceiverDataBlock& block) {
  // Any file will do here (a pipe, /dev/stdin): it is read only this far.
  const FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return ReportErrno(terminal, "cannot open", path, errno);
  // One byte more than a block tells a longer file without reading it all.
  const size_t total = std::fread(block.bytes(), 1, ReceiverDataBlock::kSize, file.get());
  uint8_t extra = 0;
  const bool longer =
      total == ReceiverDataBlock::kSize && std::fread(&extra, 1, 1, file.get()) == 1;
  if (std::ferror(file.get())) return ReportErrno(terminal, "cannot read", path, errno);
  const std::string blockSize = std::to_string(ReceiverDataBlock::kSize);
  if (longer) {
    terminal.Err("tavlink-cli: " + path + " is not a receiver data block: it holds more than " +
                 blockSize + " bytes, a block holds " + blockSize + ".\n");
    return kExitFailure;
  }
  if (total != ReceiverDataBlock::kSize) {
    terminal.Err("tavlink-cli: " + path + " is not a receiver data block: it holds " +
                 std::to_string(total) + " bytes, a block holds " + blockSize + ".\n");
    return kExitFailure;
  }
  if (!block.IsValid()) {
    terminal.Err("tavlink-cli: " + path +
                 " is not a valid receiver data block: its first 8 bytes are not "
                 "\"evileyes\".\n");
    return kExitFailure;
  }
  return kExitOk;
}

void WarnIfTextDoesNotReadBack(Terminal& terminal, const std::string& path,
                               const std::string& text) {
  const std::string refusal = ReadBackError(text);
  if (refusal.empty()) return;
  ConsoleHost(terminal, false, nullptr).Tell({Notice::Kind::kSavedTextRefused, {}, path, refusal});
}

}  // namespace tavlink::cli
