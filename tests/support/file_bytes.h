#pragma once
// A whole file as bytes, read or written in one call, for tests that set up
// and check files.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tavlink::testing {

// Makes or replaces the file `path` with exactly `bytes`.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every byte of the file `path`; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace tavlink::testing
