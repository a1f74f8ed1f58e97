#pragma once
// Internal to the channel library: makes rows and writes their bytes and
// references. Only the list's own construction and the edit steps use it.

#include <cstring>

#include "channels/channel_rows.h"

namespace tavlink::channels::detail {

struct RowAccess {
  static Satellite MakeSatellite(SatelliteId id, const uint8_t* record) {
    Satellite row;
    row.id_ = id;
    std::memcpy(row.bytes_.data(), record, row.bytes_.size());
    return row;
  }
  static Transponder MakeTransponder(TransponderId id, SatelliteId satellite,
                                     const uint8_t* record) {
    Transponder row;
    row.id_ = id;
    row.satellite_ = satellite;
    std::memcpy(row.bytes_.data(), record, row.bytes_.size());
    return row;
  }
  static Service MakeService(ServiceId id, TransponderId transponder, const uint8_t* record) {
    Service row;
    row.id_ = id;
    row.transponder_ = transponder;
    std::memcpy(row.bytes_.data(), record, row.bytes_.size());
    return row;
  }

  static SatelliteRecord Record(Satellite& row) { return SatelliteRecord(row.bytes_.data()); }
  static TransponderRecord Record(Transponder& row) { return TransponderRecord(row.bytes_.data()); }
  static ServiceRecord Record(Service& row) { return ServiceRecord(row.bytes_.data()); }

  static void SetSatellite(Transponder& row, SatelliteId satellite) { row.satellite_ = satellite; }
  static void SetTransponder(Service& row, TransponderId transponder) {
    row.transponder_ = transponder;
  }
};

}  // namespace tavlink::channels::detail
