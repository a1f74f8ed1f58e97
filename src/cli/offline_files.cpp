#include "cli/offline_files.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "cli/commands.h"
#include "data/data_text_reader.h"
#include "data/text_io.h"

namespace tavlink::cli {
namespace {

int ReportErrno(const char* what, const std::string& path, int error) {
  std::fprintf(stderr, "tavlink-cli: %s %s: %s\n", what, path.c_str(), std::strerror(error));
  return kExitUsage;
}

// A fresh name beside `path`, so that the final rename stays on one file system.
std::string TemporaryName(const std::string& path) {
  static std::mt19937 rng{std::random_device{}()};
  return path + ".tmp" + std::to_string(rng() % 1000000);
}

}  // namespace

FilePtr OpenFile(const std::string& path, const char* mode) {
  FilePtr file(std::fopen(path.c_str(), mode));
  if (!file) ReportErrno("cannot open", path, errno);
  return file;
}

int ReadDataTextFile(const std::string& path, ReceiverDataBlock& block) {
  const FilePtr file = OpenFile(path, "rb");
  if (!file) return kExitUsage;
  FileTextInput input(file.get());
  DataTextReader reader(block);
  const int result = reader.ReadDataText(input);
  if (input.failed()) return ReportErrno("cannot read", path, errno);
  if (result != kReadOk) {
    const std::string message = reader.GetErrorText();
    std::fputs(message.c_str(), stderr);
    if (message.empty() || message.back() != '\n') std::fputc('\n', stderr);
  }
  return result;
}

int ReadBlockFile(const std::string& path, ReceiverDataBlock& block) {
  const FilePtr file = OpenFile(path, "rb");
  if (!file) return kExitUsage;
  size_t total = std::fread(block.bytes(), 1, ReceiverDataBlock::kSize, file.get());
  std::array<char, 4096> rest;
  for (size_t n; (n = std::fread(rest.data(), 1, rest.size(), file.get())) > 0;) total += n;
  if (std::ferror(file.get())) return ReportErrno("cannot read", path, errno);
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

int WriteFileAtomically(const std::string& path, const std::function<int(std::FILE*)>& write) {
  std::string temporary;
  FilePtr file;
  for (int attempt = 0; attempt < 10 && !file; ++attempt) {
    temporary = TemporaryName(path);
    file.reset(std::fopen(temporary.c_str(), "wbx"));
    if (!file && errno != EEXIST) break;
  }
  if (!file) return ReportErrno("cannot create a temporary file for", path, errno);

  int status = write(file.get());
  int error = 0;
  if (std::ferror(file.get())) error = errno ? errno : EIO;
  if (std::fclose(file.release()) != 0 && error == 0) error = errno ? errno : EIO;
  if (status == kExitOk && error == 0) {
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (!ec) return kExitOk;
    error = ec.value();
  }
  std::remove(temporary.c_str());
  if (status != kExitOk) return status;
  return ReportErrno("cannot write", path, error);
}

}  // namespace tavlink::cli
