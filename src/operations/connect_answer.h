#pragma once
// The answer a connect collects: the payloads of the receiver's data frames,
// concatenated from the start of a 100-byte area that was cleared first.
//
//   0   non-zero: connected
//   32  hardware version text (32 bytes, zero-padded or full)
//   64  software version text (32 bytes)

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tavlink {

inline constexpr size_t kAnswerSize = 100;
inline constexpr size_t kHardwareVersionAt = 32;
inline constexpr size_t kSoftwareVersionAt = 64;
inline constexpr size_t kVersionFieldSize = 32;

// The receiver's version field at `at` of the answer: the characters before
// its first zero byte, never more than the field's 32.
inline std::string AnswerVersionField(std::span<const uint8_t> answer, size_t at) {
  const auto field = answer.subspan(at, kVersionFieldSize);
  return std::string(field.begin(), std::find(field.begin(), field.end(), uint8_t{0}));
}

}  // namespace tavlink
