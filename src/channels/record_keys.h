#pragma once
// Internal to the channel library: what makes a record the same record in
// two lists, as byte strings to compare and hash. A satellite is its name
// and orbital position; a transponder its satellite, frequency and
// polarization; a service its service_id and transponder.

#include <string>
#include <vector>

#include "channels/channel_list.h"

namespace tavlink::channels::detail {

std::string SatelliteKey(const Satellite& satellite);
// By satellite position.
std::vector<std::string> SatelliteKeys(const ChannelList& list);
// By transponder position. A transponder of no satellite is keyed by its
// owner_sat byte instead.
std::vector<std::string> TransponderKeys(const ChannelList& list,
                                         const std::vector<std::string>& satelliteKeys);
// By service position: service_id and transponder key. A service without a
// transponder is keyed by its tp_entry word instead.
std::vector<std::string> ServiceKeys(const ChannelList& list,
                                     const std::vector<std::string>& transponderKeys);

}  // namespace tavlink::channels::detail
