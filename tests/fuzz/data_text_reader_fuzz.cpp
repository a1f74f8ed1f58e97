// Feeds arbitrary bytes to the data text reader. Besides the sanitizers'
// checks it asserts the reader's own promises: a result from 0 to 9, a
// message exactly when the result is not 0, counts within the capacities, a
// valid header after success, and the last 4,096 bytes never touched.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "data/data_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavlink;
  static const auto block = std::make_unique<ReceiverDataBlock>();
  std::memset(block->bytes() + kUninterpretedOffset, 0x5A,
              ReceiverDataBlock::kSize - kUninterpretedOffset);
  DataTextReader reader(*block);
  StringTextInput input(std::string(reinterpret_cast<const char*>(data), size));
  const int result = reader.ReadDataText(input);
  Check(result >= 0 && result <= 9);
  Check((result == 0) == (reader.GetErrorText()[0] == '\0'));
  Check(std::strlen(reader.GetErrorText()) < DataTextReader::kLineBufferSize);
  if (result == 0) {
    Check(block->IsValid());
    Check(block->sat_count() >= 0 && block->sat_count() <= kMaxSatellites);
    Check(block->tp_count() >= 0 && block->tp_count() <= kMaxTransponders);
    Check(block->service_count() >= 0 && block->service_count() <= kMaxServices);
    Check(block->antenna_config() >= -1 && block->antenna_config() <= 8);
    // What was read is written back and read again without error.
    StringTextOutput text;
    Check(WriteDataText(*block, text) == 0);
    const auto copy = std::make_unique<ReceiverDataBlock>();
    DataTextReader again(*copy);
    StringTextInput back(text.str());
    Check(again.ReadDataText(back) == 0);
    Check(copy->sat_count() == block->sat_count() && copy->tp_count() <= block->tp_count() &&
          copy->service_count() == block->service_count());
  }
  for (size_t i = kUninterpretedOffset; i < ReceiverDataBlock::kSize; ++i) {
    Check(block->bytes()[i] == 0x5A);
  }
  return 0;
}
