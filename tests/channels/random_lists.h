#pragma once
// Seeded random receiver data blocks whose lists pass the check: every
// field within the reader's limits, every reference valid, each service on
// one of the first 256 transponders of its satellite. Everything the text
// does not carry is random: reserved bytes, kept bits, the bytes after names,
// the header's reserved fields, the unused slots and the last 4,096 bytes.
// The transponder table is not grouped by satellite.

#include <memory>
#include <random>
#include <string>

#include "data/receiver_data_block.h"

namespace tavlink::channels::testing {

struct ListSize {
  int satellites;
  int transponders;
  int services;
};

class RandomBlocks {
 public:
  explicit RandomBlocks(uint32_t seed) : rng_(seed) {}

  // At most `limit` records of each kind (fewer at random).
  std::unique_ptr<ReceiverDataBlock> Make(ListSize limit);
  // Exactly `size` records, when that many can be referenced.
  std::unique_ptr<ReceiverDataBlock> MakeExactly(ListSize size);

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  std::string Name(int maxLength);

 private:
  uint16_t U16() { return static_cast<uint16_t>(rng_()); }

  std::mt19937 rng_;
};

}  // namespace tavlink::channels::testing
