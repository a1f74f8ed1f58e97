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

int ReportErrno(const char* what, const std::string& path, int error) {
  std::fprintf(stderr, "tavlink-cli: %s %s: %s\n", what, path.c_str(), std::strerror(error));
  return kExitUsage;
}

}  // namespace

FilePtr OpenPlainFile(const std::string& path, uint64_t* length) {
  int error = 0;
  std::optional<InputFile> input = OpenInputFile(path, &error);
  if (!input) {
    std::fprintf(stderr, "tavlink-cli: cannot read %s: %s\n", path.c_str(),
                 DescribeFileError(error).c_str());
    return nullptr;
  }
  *length = input->length;
  return std::move(input->stream);
}

int ReadDataTextFile(const std::string& path, ReceiverDataBlock& block, int* readerResult) {
  uint64_t length = 0;
  const FilePtr file = OpenPlainFile(path, &length);
  if (!file) return kExitUsage;
  const DataTextRead read = ReadDataTextFrom(file.get(), block);
  if (read.error != 0) return ReportErrno("cannot read", path, read.error);
  if (readerResult != nullptr) *readerResult = read.result;
  if (read.result == 0) return kExitOk;
  std::fputs(read.message.c_str(), stderr);
  if (read.message.empty() || read.message.back() != '\n') std::fputc('\n', stderr);
  return kExitFailure;
}

int ReadBlockFile(const std::string& path, ReceiverDataBlock& block) {
  // Any file will do here (a pipe, /dev/stdin): it is read only this far.
  const FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return ReportErrno("cannot open", path, errno);
  // One byte more than a block tells a longer file without reading it all.
  const size_t total = std::fread(block.bytes(), 1, ReceiverDataBlock::kSize, file.get());
  uint8_t extra = 0;
  const bool longer =
      total == ReceiverDataBlock::kSize && std::fread(&extra, 1, 1, file.get()) == 1;
  if (std::ferror(file.get())) return ReportErrno("cannot read", path, errno);
  if (longer) {
    std::fprintf(stderr,
                 "tavlink-cli: %s is not a receiver data block: it holds more than %zu bytes, a "
                 "block holds %zu.\n",
                 path.c_str(), ReceiverDataBlock::kSize, ReceiverDataBlock::kSize);
    return kExitFailure;
  }
  if (total != ReceiverDataBlock::kSize) {
    std::fprintf(stderr,
                 "tavlink-cli: %s is not a receiver data block: it holds %zu bytes, a block "
                 "holds %zu.\n",
                 path.c_str(), total, ReceiverDataBlock::kSize);
    return kExitFailure;
  }
  if (!block.IsValid()) {
    std::fprintf(stderr,
                 "tavlink-cli: %s is not a valid receiver data block: its first 8 bytes are "
                 "not \"evileyes\".\n",
                 path.c_str());
    return kExitFailure;
  }
  return kExitOk;
}

void WarnIfTextDoesNotReadBack(const std::string& path, const std::string& text) {
  const std::string refusal = ReadBackError(text);
  if (refusal.empty()) return;
  ConsoleHost(false, nullptr).Tell({Notice::Kind::kSavedTextRefused, {}, path, refusal});
}

}  // namespace tavlink::cli
