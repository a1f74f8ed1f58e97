#include "data/receiver_data_block.h"

#include <cstring>

namespace tavlink {

bool ReceiverDataBlock::IsValid() const { return std::memcmp(bytes_.data(), "evileyes", 8) == 0; }

ReceiverDataBlock& GetDataBlock() {
  static ReceiverDataBlock block;
  return block;
}

}  // namespace tavlink
