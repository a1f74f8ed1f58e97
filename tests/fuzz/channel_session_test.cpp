// The channel list fuzzer's harness in the ordinary build: every input of
// the committed corpus replayed, and inputs of each kind built here.

#include "fuzz/channel_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "channels/golden_block.h"

namespace tavlink::fuzz {
namespace {

using Bytes = std::vector<uint8_t>;

std::string Violations(const ChannelSessionResult& r) {
  std::string all;
  for (const auto& v : r.violations) all += v + "; ";
  return all;
}

ChannelSessionResult Play(const Bytes& input) {
  return PlayChannelSession(input.data(), input.size());
}

Bytes Script(uint32_t seed, size_t length) {
  std::mt19937 rng(seed);
  Bytes bytes(length);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
  return bytes;
}

TEST(ChannelSession, ReplaysTheCommittedCorpus) {
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TAVLINK_CHANNEL_CORPUS)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const Bytes input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const ChannelSessionResult r = Play(input);
    EXPECT_TRUE(r.violations.empty()) << entry.path() << ": " << Violations(r);
    ++inputs;
  }
  EXPECT_GE(inputs, 4);
}

TEST(ChannelSession, AGeneratedListAndAScript) {
  Bytes input = {0, 7, 0, 0, 0, 12, 20, 30, 0};
  const Bytes script = Script(1, 600);
  input.insert(input.end(), script.begin(), script.end());
  const ChannelSessionResult r = Play(input);
  EXPECT_TRUE(r.violations.empty()) << Violations(r);
  EXPECT_GT(r.edits, 20);
  EXPECT_GT(r.done, 0);
}

// Pokes into the header counts and into references break the limits.
TEST(ChannelSession, ABrokenGeneratedList) {
  Bytes input = {0,    9,    0,   0, 0, 10, 10, 10, 3, 12, 0, 200,  // sat_count 200
                 0x26, 0x0A, 9,      // transponder 0's owner_sat 9 (after the LE offset 0x0A26)
                 0x28, 0x2A, 0x7F};  // service 0's tp_entry low byte
  const Bytes script = Script(2, 400);
  input.insert(input.end(), script.begin(), script.end());
  const ChannelSessionResult r = Play(input);
  EXPECT_TRUE(r.violations.empty()) << Violations(r);
}

TEST(ChannelSession, AWholeBlock) {
  const auto block = channels::testing::GoldenBlock();
  Bytes input = {1};
  input.insert(input.end(), block->bytes(), block->bytes() + ReceiverDataBlock::kSize);
  const Bytes script = Script(3, 500);
  input.insert(input.end(), script.begin(), script.end());
  const ChannelSessionResult r = Play(input);
  EXPECT_TRUE(r.violations.empty()) << Violations(r);
  EXPECT_GT(r.done, 0);
}

}  // namespace
}  // namespace tavlink::fuzz
