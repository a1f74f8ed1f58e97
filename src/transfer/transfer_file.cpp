#include "transfer/transfer_file.h"

namespace tavlink {

std::optional<uint64_t> StdioTransferFile::Length() {
  const long here = std::ftell(file_);
  if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return std::nullopt;
  const long end = std::ftell(file_);
  if (std::fseek(file_, here, SEEK_SET) != 0 || end < 0) return std::nullopt;
  return static_cast<uint64_t>(end);
}

std::optional<size_t> StdioTransferFile::Read(uint8_t* buffer, size_t n) {
  const size_t got = std::fread(buffer, 1, n, file_);
  if (got < n && std::ferror(file_)) return std::nullopt;
  return got;
}

bool StdioTransferFile::Write(const uint8_t* buffer, size_t n) {
  if (n > 0 && std::fwrite(buffer, 1, n, file_) != n) return false;
  return std::fflush(file_) == 0;
}

}  // namespace tavlink
