#pragma once
// A folder whose path is exactly `length` characters long, made of nested
// folders under `base`. Near the system's limit of 4,095 characters, a file
// with a short name still fits in it while a longer name does not: the way
// to make a temporary file beside a file impossible, for root too.

#include <sys/stat.h>

#include <algorithm>
#include <string>

namespace tavlink::testing {

// Returns the folder's path; empty when a folder could not be made.
inline std::string MakeFolderOfLength(const std::string& base, size_t length) {
  std::string path = base;
  while (path.size() < length) {
    size_t part = std::min<size_t>(length - path.size() - 1, 200);
    if (length - path.size() - 1 - part == 1) --part;  // never leave one character over
    path += "/" + std::string(part, 'd');
    if (::mkdir(path.c_str(), 0755) != 0) return {};
  }
  return path;
}

}  // namespace tavlink::testing
