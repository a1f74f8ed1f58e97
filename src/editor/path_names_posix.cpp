// File names on Linux: paths are bytes, the folders separated by '/'.
#include <filesystem>
#include <system_error>

#include "editor/path_names.h"

namespace tavlink::editor {

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

}  // namespace tavlink::editor
