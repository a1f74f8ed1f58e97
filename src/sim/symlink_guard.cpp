#include "sim/symlink_guard.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tavlink::sim {

bool SymlinkGuard::Create(const std::string& path, const std::string& target, std::string* error) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
    *error = "cannot replace " + path + ": " + std::strerror(errno);
    return false;
  }
  if (::symlink(target.c_str(), path.c_str()) != 0) {
    *error = "cannot make the link " + path + ": " + std::strerror(errno);
    return false;
  }
  path_ = path;
  target_ = target;
  return true;
}

SymlinkGuard::~SymlinkGuard() {
  if (path_.empty()) return;
  std::vector<char> buffer(target_.size() + 2);
  const ssize_t n = ::readlink(path_.c_str(), buffer.data(), buffer.size());
  if (n >= 0 && std::string(buffer.data(), static_cast<size_t>(n)) == target_) {
    ::unlink(path_.c_str());
  }
}

}  // namespace tavlink::sim
