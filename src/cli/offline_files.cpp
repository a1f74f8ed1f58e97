#include "cli/offline_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "cli/commands.h"
#include "data/data_text_reader.h"
#include "data/text_io.h"
#include "transfer/saved_text.h"

namespace tavlink::cli {
namespace {

int ReportErrno(const char* what, const std::string& path, int error) {
  std::fprintf(stderr, "tavlink-cli: %s %s: %s\n", what, path.c_str(), std::strerror(error));
  return kExitUsage;
}

}  // namespace

FilePtr OpenFile(const std::string& path, const char* mode) {
  FilePtr file(std::fopen(path.c_str(), mode));
  if (!file) ReportErrno("cannot open", path, errno);
  return file;
}

FilePtr OpenPlainFile(const std::string& path, uint64_t* length) {
  FilePtr file = OpenFile(path, "rb");
  if (!file) return nullptr;
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) != 0) {
    ReportErrno("cannot read", path, errno);
    return nullptr;
  }
  if (S_ISDIR(info.st_mode)) {
    ReportErrno("cannot read", path, EISDIR);
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    std::fprintf(stderr, "tavlink-cli: %s is not a plain file.\n", path.c_str());
    return nullptr;
  }
  *length = static_cast<uint64_t>(info.st_size);
  return file;
}

int ReadDataTextFile(const std::string& path, ReceiverDataBlock& block, int* readerResult) {
  const FilePtr file = OpenFile(path, "rb");
  if (!file) return kExitUsage;
  FileTextInput input(file.get());
  DataTextReader reader(block);
  const int result = reader.ReadDataText(input);
  if (input.failed()) return ReportErrno("cannot read", path, errno);
  if (readerResult != nullptr) *readerResult = result;
  if (result == kReadOk) return kExitOk;
  const std::string message = reader.GetErrorText();
  std::fputs(message.c_str(), stderr);
  if (message.empty() || message.back() != '\n') std::fputc('\n', stderr);
  return kExitFailure;
}

int ReadBlockFile(const std::string& path, ReceiverDataBlock& block) {
  const FilePtr file = OpenFile(path, "rb");
  if (!file) return kExitUsage;
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
  std::string refusal = ReadBackError(text);
  if (refusal.empty()) return;
  if (refusal.back() != '\n') refusal += '\n';
  std::fprintf(stderr, "tavlink-cli: warning: %s: %s\n%s", path.c_str(),
               std::string(kSavedTextRefused).c_str(), refusal.c_str());
}

}  // namespace tavlink::cli
