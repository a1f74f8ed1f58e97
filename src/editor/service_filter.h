#pragma once
// Which services the table shows: by a part of the name (without case), a
// satellite, TV or radio, favourites only, and the transponder selected in
// the tree. An empty filter shows every service.

#include <string>
#include <vector>

#include "channels/channel_list.h"

namespace tavlink::editor {

struct ServiceFilter {
  enum class Kind { kAll, kTv, kRadio };
  std::string name;                 // a part of the name; empty for any
  channels::SatelliteId satellite;  // invalid for any
  Kind kind = Kind::kAll;
  bool favourites_only = false;
  channels::TransponderId transponder;  // invalid for any

  bool empty() const {
    return name.empty() && !satellite.valid() && kind == Kind::kAll && !favourites_only &&
           !transponder.valid();
  }
};

bool Matches(const channels::ChannelList& list, const channels::Service& service,
             const ServiceFilter& filter);

// The positions of the services the filter shows, ascending.
std::vector<int> ShownServices(const channels::ChannelList& list, const ServiceFilter& filter);

}  // namespace tavlink::editor
