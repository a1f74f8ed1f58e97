#pragma once
// Hand-built frame bytes for tests, written out independently of the frame
// layer under test, and small helpers that damage them.

#include <cstdint>
#include <string>
#include <vector>

namespace tavlink::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes Magic() {
  return {'E', 'v', 'i', 'l', 'E', 'y', 'E', 's'};
}

inline Bytes CommandFrame(int code) {
  Bytes f = Magic();
  f.push_back(static_cast<uint8_t>(code >> 8));
  f.push_back(static_cast<uint8_t>(code));
  f.push_back(0);
  f.push_back(0);
  return f;
}

// CRC-32 (IEEE 802.3, reflected 0xEDB88320) bit by bit, without the table
// that the code under test uses, so a wrong table entry cannot hide.
inline uint32_t BitwiseCrc32(const uint8_t* data, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

inline Bytes DataFrame(const Bytes& payload) {
  Bytes f = Magic();
  const size_t length = payload.size() + 4;
  f.push_back(0x00);
  f.push_back(0x30);
  f.push_back(static_cast<uint8_t>(length >> 8));
  f.push_back(static_cast<uint8_t>(length));
  f.insert(f.end(), payload.begin(), payload.end());
  const uint32_t crc = BitwiseCrc32(payload.data(), payload.size());
  for (int shift = 24; shift >= 0; shift -= 8) f.push_back(static_cast<uint8_t>(crc >> shift));
  return f;
}

inline Bytes Pattern(size_t n, uint8_t seed = 1) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
  return b;
}

inline Bytes FlipBit(Bytes frame, size_t byteIndex, int bit = 0) {
  frame.at(byteIndex) ^= static_cast<uint8_t>(1u << bit);
  return frame;
}

inline Bytes WithLengthField(Bytes frame, uint16_t length) {
  frame.at(10) = static_cast<uint8_t>(length >> 8);
  frame.at(11) = static_cast<uint8_t>(length);
  return frame;
}

inline Bytes Cut(Bytes frame, size_t keep) {
  frame.resize(keep);
  return frame;
}

inline Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace tavlink::testing
