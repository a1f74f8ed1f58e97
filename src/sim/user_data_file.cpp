#include "sim/user_data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "data/data_text.h"

namespace tavlink::sim {
namespace {

// Files larger than this are neither an image nor a plausible data text.
constexpr std::streamoff kMaxFileBytes = 16 << 20;

bool LooksLikeImage(const std::vector<char>& bytes) {
  if (bytes.size() != ReceiverDataBlock::kSize) return false;
  return std::memcmp(bytes.data(), "evileyes", 8) == 0 ||
         std::find(bytes.begin(), bytes.end(), '\0') != bytes.end();
}

bool ReadText(const std::string& path, const std::vector<char>& bytes, ReceiverDataBlock* block,
              std::string* error) {
  auto parsed = std::make_unique<ReceiverDataBlock>();
  DataTextReader reader(*parsed);
  StringTextInput input(std::string(bytes.begin(), bytes.end()));
  if (reader.ReadDataText(input) != 0) {
    *error = path + ": not a valid data text file: " + reader.GetErrorText();
    return false;
  }
  *block = *parsed;
  return true;
}

}  // namespace

bool LoadUserData(const std::string& path, ReceiverDataBlock* block, std::string* error) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) {
    *error = path + ": cannot open: " + std::strerror(errno);
    return false;
  }
  const std::streamoff size = file.tellg();
  if (size < 0 || size > kMaxFileBytes) {
    *error = path + ": not a user data file (size)";
    return false;
  }
  std::vector<char> bytes(static_cast<size_t>(size));
  file.seekg(0);
  if (!file.read(bytes.data(), size)) {
    *error = path + ": read error";
    return false;
  }
  if (LooksLikeImage(bytes)) {
    std::memcpy(block->bytes(), bytes.data(), ReceiverDataBlock::kSize);
    return true;
  }
  return ReadText(path, bytes, block, error);
}

}  // namespace tavlink::sim
