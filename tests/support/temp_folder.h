#pragma once
// A fresh folder under /tmp for one test, removed with everything in it.

#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tavlink::testing {

class TempFolder {
 public:
  TempFolder() {
    char name[] = "/tmp/tavlink-app-XXXXXX";
    path_ = ::mkdtemp(name);
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

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Holds an exclusive lock on a file, as another program editing it would.
class ForeignLock {
 public:
  explicit ForeignLock(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~ForeignLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  ForeignLock(const ForeignLock&) = delete;
  ForeignLock& operator=(const ForeignLock&) = delete;

 private:
  int fd_;
};

}  // namespace tavlink::testing
