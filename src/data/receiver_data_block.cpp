#include "data/receiver_data_block.h"

#include <cstdlib>
#include <cstring>

#include "data/little_endian.h"

namespace tavlink {
namespace {

constexpr char kMagic[8] = {'e', 'v', 'i', 'l', 'e', 'y', 'e', 's'};
constexpr size_t kReservedOffset = 8;
constexpr size_t kSatCountOffset = 12;
constexpr size_t kTpCountOffset = 16;
constexpr size_t kServiceCountOffset = 20;
constexpr size_t kAntennaConfigOffset = 24;

}  // namespace

bool ReceiverDataBlock::IsValid() const {
  return std::memcmp(bytes_.data(), kMagic, sizeof kMagic) == 0;
}

int32_t ReceiverDataBlock::sat_count() const {
  return static_cast<int32_t>(LoadLe32(&bytes_[kSatCountOffset]));
}
int32_t ReceiverDataBlock::tp_count() const {
  return static_cast<int32_t>(LoadLe32(&bytes_[kTpCountOffset]));
}
int32_t ReceiverDataBlock::service_count() const {
  return static_cast<int32_t>(LoadLe32(&bytes_[kServiceCountOffset]));
}
int32_t ReceiverDataBlock::antenna_config() const {
  return static_cast<int32_t>(LoadLe32(&bytes_[kAntennaConfigOffset]));
}
void ReceiverDataBlock::set_antenna_config(int32_t value) {
  StoreLe32(&bytes_[kAntennaConfigOffset], static_cast<uint32_t>(value));
}

void ReceiverDataBlock::FinishHeader(int32_t satCount, int32_t tpCount, int32_t serviceCount,
                                     int32_t antennaConfig) {
  // The magic is stored as its two halves "evil" and "eyes".
  std::memcpy(&bytes_[0], kMagic, 4);
  std::memcpy(&bytes_[4], kMagic + 4, 4);
  StoreLe32(&bytes_[kReservedOffset], 0);
  StoreLe32(&bytes_[kSatCountOffset], static_cast<uint32_t>(satCount));
  StoreLe32(&bytes_[kTpCountOffset], static_cast<uint32_t>(tpCount));
  StoreLe32(&bytes_[kServiceCountOffset], static_cast<uint32_t>(serviceCount));
  set_antenna_config(antennaConfig);
}

size_t ReceiverDataBlock::RecordOffset(size_t table, size_t size, int capacity, int index) {
  if (index < 0 || index >= capacity) std::abort();  // a caller's fault, never the data's
  return table + size * static_cast<size_t>(index);
}

SatelliteRecord ReceiverDataBlock::satellite(int index) {
  return SatelliteRecord(
      &bytes_[RecordOffset(kSatelliteTableOffset, kSatelliteRecordSize, kMaxSatellites, index)]);
}
ConstSatelliteRecord ReceiverDataBlock::satellite(int index) const {
  return ConstSatelliteRecord(
      &bytes_[RecordOffset(kSatelliteTableOffset, kSatelliteRecordSize, kMaxSatellites, index)]);
}
TransponderRecord ReceiverDataBlock::transponder(int index) {
  return TransponderRecord(&bytes_[RecordOffset(kTransponderTableOffset, kTransponderRecordSize,
                                                kMaxTransponders, index)]);
}
ConstTransponderRecord ReceiverDataBlock::transponder(int index) const {
  return ConstTransponderRecord(&bytes_[RecordOffset(
      kTransponderTableOffset, kTransponderRecordSize, kMaxTransponders, index)]);
}
ServiceRecord ReceiverDataBlock::service(int index) {
  return ServiceRecord(
      &bytes_[RecordOffset(kServiceTableOffset, kServiceRecordSize, kMaxServices, index)]);
}
ConstServiceRecord ReceiverDataBlock::service(int index) const {
  return ConstServiceRecord(
      &bytes_[RecordOffset(kServiceTableOffset, kServiceRecordSize, kMaxServices, index)]);
}

ReceiverDataBlock& GetDataBlock() {
  static ReceiverDataBlock block;
  return block;
}

}  // namespace tavlink
