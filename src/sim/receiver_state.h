#pragma once
// What the simulated receiver holds between operations: its identity, its
// user data (changed by a restore or a factory write) and the last upgrade
// image it took. Used by one thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/receiver_data_block.h"

namespace tavlink::sim {

struct ReceiverState {
  std::string model;
  std::string hardware;
  std::string software;
  std::unique_ptr<ReceiverDataBlock> userData = std::make_unique<ReceiverDataBlock>();
  std::vector<uint8_t> romImage;
};

}  // namespace tavlink::sim
