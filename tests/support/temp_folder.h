#pragma once
// A fresh folder in the system's temporary folder for one test, removed with
// everything in it; and files held as another program would hold them.
// (Whole files as bytes: support/file_bytes.h, included here.)

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <iterator>
#include <random>
#include <string>

#include "support/file_bytes.h"

namespace tavlink::testing {

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = std::filesystem::temp_directory_path() / ("tavlink-test-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(path_, error)) return;
    }
    path_.clear();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

  // The names in the folder.
  size_t Count() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                             std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path path_;
};

// Holds a file as another program editing it would: with an exclusive lock
// on POSIX, open for writing and shared for reading only on Windows.
class ForeignLock {
 public:
#ifdef _WIN32
  explicit ForeignLock(const std::string& path)
      : handle_(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~ForeignLock() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
#else
  explicit ForeignLock(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~ForeignLock() {
    if (fd_ >= 0) ::close(fd_);
  }
#endif
  ForeignLock(const ForeignLock&) = delete;
  ForeignLock& operator=(const ForeignLock&) = delete;

 private:
#ifdef _WIN32
  HANDLE handle_;
#else
  int fd_;
#endif
};

}  // namespace tavlink::testing
