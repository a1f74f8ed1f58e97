#pragma once
// A symbolic link that lives as long as this object: made by Create
// (replacing whatever file or link is at that path) and removed on
// destruction if it still points where we made it point.

#include <string>

namespace tavlink::sim {

class SymlinkGuard {
 public:
  SymlinkGuard() = default;
  SymlinkGuard(const SymlinkGuard&) = delete;
  SymlinkGuard& operator=(const SymlinkGuard&) = delete;
  ~SymlinkGuard();

  // Makes `path` a link to `target`. False with `*error` set on failure.
  bool Create(const std::string& path, const std::string& target, std::string* error);

 private:
  std::string path_;
  std::string target_;
};

}  // namespace tavlink::sim
