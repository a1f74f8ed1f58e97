// What ReplacementFile does the same way on every system.
#include "files/saved_file.h"

#include <cstdio>
#include <random>
#include <utility>

namespace tavlink {

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      temp_(std::move(other.temp_)),
      target_(std::move(other.target_)) {}

ReplacementFile::~ReplacementFile() {
  if (file_ != nullptr) {
    std::fclose(file_);
    std::remove(temp_.c_str());  // the file was never put in place
  }
}

namespace detail {

std::string TemporaryName() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string name = "tavlink-";
  for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
  return name + ".tmp";
}

}  // namespace detail

}  // namespace tavlink
