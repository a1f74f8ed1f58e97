// What ReplacementFile does the same way on every system.
#include "files/saved_file.h"

#include <cerrno>
#include <cstdio>
#include <utility>

namespace tavlink {

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      temp_(std::move(other.temp_)),
      target_(std::move(other.target_)),
      writeError_(other.writeError_) {}

ReplacementFile::~ReplacementFile() {
  if (file_ != nullptr) {
    std::fclose(file_);
    std::remove(temp_.c_str());  // the file was never put in place
  }
}

bool ReplacementFile::Write(std::string_view bytes) {
  errno = 0;
  if (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size())
    return true;
  if (writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
  return false;
}

}  // namespace tavlink
