#pragma once
// The contents the receiver sends and the checks on what it takes, as pure
// functions over bytes:
//
//   identification: model[32] | hardware[32] | software[32], zero-padded
//   backup:          count:2 (first payload only) | N:4 = 65536 | block[N]
//   restore:         N:4 | data[N]
//   upgrade:         N:4 | image[N]
//
// All numbers big-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/receiver_data_block.h"

namespace tavlink::sim {

inline constexpr size_t kIdFieldSize = 32;
inline constexpr size_t kIdAnswerSize = 3 * kIdFieldSize;
inline constexpr size_t kBackupPieceSize = 4080;

// The 96-byte answer to FC_CONNECT. Texts longer than 32 bytes are cut.
std::array<uint8_t, kIdAnswerSize> IdentificationAnswer(const std::string& model,
                                                        const std::string& hardware,
                                                        const std::string& software);

// The payloads of a backup: a restore file (length 65536, then the block) in
// pieces of at most 4080 bytes, the first preceded by the piece count.
std::vector<std::vector<uint8_t>> BackupPayloads(const ReceiverDataBlock& block);

// `data` cut into payloads of `payloadSize` (>= 1) bytes, the last shorter.
std::vector<std::span<const uint8_t>> SplitPayloads(std::span<const uint8_t> data,
                                                    size_t payloadSize);

// Verdict on received restore data. `accepted` means it is a valid block,
// copied to `*block`; otherwise `block` is untouched and `reason` says why.
struct RestoreVerdict {
  bool accepted = false;
  std::string reason;
};
RestoreVerdict ApplyRestoreData(std::span<const uint8_t> data, ReceiverDataBlock* block);

// Verdict on a received upgrade: the declared length, the image bytes that
// followed it, and a one-line summary.
struct UpgradeVerdict {
  bool complete = false;
  uint32_t declared = 0;
  std::span<const uint8_t> image;
  std::string summary;
};
UpgradeVerdict CheckUpgradeData(std::span<const uint8_t> data);

}  // namespace tavlink::sim
