#include "channels/record_keys.h"

namespace tavlink::channels::detail {
namespace {

void AppendU16(std::string& key, uint16_t value) {
  key.push_back(static_cast<char>(value & 0xFF));
  key.push_back(static_cast<char>(value >> 8));
}

}  // namespace

std::string SatelliteKey(const Satellite& satellite) {
  std::string key = "s";
  AppendU16(key, ConstSatelliteRecord(satellite.record().data()).position());
  key += satellite.name();
  return key;
}

std::vector<std::string> SatelliteKeys(const ChannelList& list) {
  std::vector<std::string> keys;
  keys.reserve(list.satellites().size());
  for (const Satellite& sat : list.satellites()) keys.push_back(SatelliteKey(sat));
  return keys;
}

std::vector<std::string> TransponderKeys(const ChannelList& list,
                                         const std::vector<std::string>& satelliteKeys) {
  std::vector<std::string> keys;
  keys.reserve(list.transponders().size());
  for (const Transponder& tp : list.transponders()) {
    std::string key = "t";
    AppendU16(key, tp.frequency());
    key.push_back(tp.horizontal() ? 'H' : 'V');
    const int sat = list.PositionOf(tp.satellite());
    if (sat >= 0) {
      key += satelliteKeys[static_cast<size_t>(sat)];
    } else {
      key += "n";
      key.push_back(static_cast<char>(tp.record()[6]));
    }
    keys.push_back(std::move(key));
  }
  return keys;
}

std::vector<std::string> ServiceKeys(const ChannelList& list,
                                     const std::vector<std::string>& transponderKeys) {
  std::vector<std::string> keys;
  keys.reserve(list.services().size());
  for (const Service& service : list.services()) {
    std::string key = "v";
    AppendU16(key, service.service_id());
    const int tp = list.PositionOf(service.transponder());
    if (tp >= 0) {
      key += transponderKeys[static_cast<size_t>(tp)];
    } else {
      key += "n";
      AppendU16(key, ConstServiceRecord(service.record().data()).tp_entry());
    }
    keys.push_back(std::move(key));
  }
  return keys;
}

}  // namespace tavlink::channels::detail
