#pragma once
// Internal to the channel library: the edit steps' way into a list's tables
// and header. Every change made through it must be followed by Changed().

#include "channels/channel_list.h"

namespace tavlink::channels::detail {

struct ListAccess {
  static RowTable<Satellite>& Satellites(ChannelList& list) { return list.satellites_; }
  static RowTable<Transponder>& Transponders(ChannelList& list) { return list.transponders_; }
  static RowTable<Service>& Services(ChannelList& list) { return list.services_; }
  static HeaderState& Header(ChannelList& list) { return list.header_; }
  static void Changed(ChannelList& list) { list.Invalidate(); }

  template <typename Row>
  static RowTable<Row>& TableOf(ChannelList& list) {
    if constexpr (std::is_same_v<Row, Satellite>) {
      return list.satellites_;
    } else if constexpr (std::is_same_v<Row, Transponder>) {
      return list.transponders_;
    } else {
      return list.services_;
    }
  }
};

}  // namespace tavlink::channels::detail
