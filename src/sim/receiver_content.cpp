#include "sim/receiver_content.h"

#include <algorithm>
#include <string_view>

#include "link/big_endian.h"

namespace tavlink::sim {
namespace {

void PutText(uint8_t* field, const std::string& text) {
  std::copy_n(text.begin(), std::min(text.size(), kIdFieldSize), field);
}

}  // namespace

std::array<uint8_t, kIdAnswerSize> IdentificationAnswer(const std::string& model,
                                                        const std::string& hardware,
                                                        const std::string& software) {
  std::array<uint8_t, kIdAnswerSize> answer{};
  PutText(answer.data(), model);
  PutText(answer.data() + kIdFieldSize, hardware);
  PutText(answer.data() + 2 * kIdFieldSize, software);
  return answer;
}

std::vector<std::vector<uint8_t>> BackupPayloads(const ReceiverDataBlock& block) {
  std::vector<uint8_t> file(4 + ReceiverDataBlock::kSize);
  WriteBe32(file.data(), ReceiverDataBlock::kSize);
  std::copy_n(block.bytes(), ReceiverDataBlock::kSize, file.begin() + 4);

  std::vector<std::vector<uint8_t>> payloads;
  for (const auto piece : SplitPayloads(file, kBackupPieceSize)) {
    payloads.emplace_back(piece.begin(), piece.end());
  }
  std::vector<uint8_t>& first = payloads.front();
  first.insert(first.begin(), 2, 0);
  WriteBe16(first.data(), static_cast<uint16_t>(payloads.size()));
  return payloads;
}

std::vector<std::span<const uint8_t>> SplitPayloads(std::span<const uint8_t> data,
                                                    size_t payloadSize) {
  std::vector<std::span<const uint8_t>> pieces;
  if (payloadSize == 0) return pieces;
  for (size_t at = 0; at < data.size(); at += payloadSize) {
    pieces.push_back(data.subspan(at, std::min(payloadSize, data.size() - at)));
  }
  return pieces;
}

RestoreVerdict ApplyRestoreData(std::span<const uint8_t> data, ReceiverDataBlock* block) {
  RestoreVerdict verdict;
  if (data.size() < 4) {
    verdict.reason =
        "restore data of " + std::to_string(data.size()) + " bytes has no length field";
    return verdict;
  }
  const uint32_t declared = ReadBe32(data.data());
  const size_t carried = data.size() - 4;
  if (declared != ReceiverDataBlock::kSize) {
    verdict.reason = "restore length field is " + std::to_string(declared) + ", not 65536";
  } else if (carried != declared) {
    verdict.reason = "restore carried " + std::to_string(carried) + " data bytes, length field " +
                     std::to_string(declared);
  } else if (std::string_view(reinterpret_cast<const char*>(data.data() + 4), 8) != "evileyes") {
    verdict.reason = "restore data does not start with \"evileyes\"";
  }
  if (!verdict.reason.empty()) return verdict;
  std::copy_n(data.begin() + 4, ReceiverDataBlock::kSize, block->bytes());
  verdict.accepted = true;
  return verdict;
}

UpgradeVerdict CheckUpgradeData(std::span<const uint8_t> data) {
  UpgradeVerdict verdict;
  if (data.size() < 4) {
    verdict.summary =
        "upgrade incomplete: " + std::to_string(data.size()) + " bytes, no image length";
    return verdict;
  }
  verdict.declared = ReadBe32(data.data());
  verdict.image = data.subspan(4);
  verdict.complete = verdict.image.size() == verdict.declared;
  verdict.summary =
      std::string(verdict.complete ? "upgrade image complete: " : "upgrade image incomplete: ") +
      std::to_string(verdict.image.size()) + " bytes received, length field " +
      std::to_string(verdict.declared);
  return verdict;
}

}  // namespace tavlink::sim
