// File names on Windows: the narrow paths are in the process's code page,
// the folders separated by '\' or '/', a drive's letter before ':'.
#include <windows.h>

#include <vector>

#include "editor/path_names.h"

namespace tavlink::editor {

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  const DWORD size = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::vector<char> full(size, '\0');
  const DWORD length = ::GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
  return length == 0 || length >= size ? path : std::string(full.data(), length);
}

}  // namespace tavlink::editor
