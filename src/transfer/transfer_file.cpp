#include "transfer/transfer_file.h"

#include <cerrno>

namespace tavlink {
namespace {

// The errno a failed stream call left, or EIO when it left none.
int StreamError() {
  return errno != 0 ? errno : EIO;
}

}  // namespace

std::optional<uint64_t> StdioTransferFile::Length() {
  errno = 0;
  const long here = std::ftell(file_);
  if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) {
    error_ = StreamError();
    return std::nullopt;
  }
  const long end = std::ftell(file_);
  if (std::fseek(file_, here, SEEK_SET) != 0 || end < 0) {
    error_ = StreamError();
    return std::nullopt;
  }
  return static_cast<uint64_t>(end);
}

std::optional<size_t> StdioTransferFile::Read(uint8_t* buffer, size_t n) {
  errno = 0;
  const size_t got = std::fread(buffer, 1, n, file_);
  if (got < n && std::ferror(file_)) {
    error_ = StreamError();
    return std::nullopt;
  }
  return got;
}

bool StdioTransferFile::Write(const uint8_t* buffer, size_t n) {
  errno = 0;
  if ((n > 0 && std::fwrite(buffer, 1, n, file_) != n) || std::fflush(file_) != 0) {
    error_ = StreamError();
    return false;
  }
  return true;
}

}  // namespace tavlink
