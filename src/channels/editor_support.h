#pragma once
// Internal to the channel library: helpers the editor's edit files share.

#include <optional>
#include <string>
#include <vector>

#include "channels/channel_editor.h"
#include "channels/row_table.h"

namespace tavlink::channels::detail {

inline EditResult Done() {
  return {EditResult::Status::kDone, {}};
}
inline EditResult NothingToDo() {
  return {EditResult::Status::kNothingToDo, {}};
}
inline EditResult Refused(std::string message) {
  return {EditResult::Status::kRefused, std::move(message)};
}

// "1 service", "3 services".
std::string Counted(size_t count, const char* singular, const char* plural);

std::vector<Position> ToPositions(const std::vector<int>& positions);

// The services that name a transponder beyond number 256 of its satellite,
// ascending by identity.
std::vector<uint32_t> ServicesBeyondTpIndex(const ChannelList& list);
// Why the list, changed, has a service beyond number 256 that `before` (from
// ServicesBeyondTpIndex on the list unchanged) did not have; nothing when
// there is none.
std::optional<std::string> NewTpIndexProblem(const ChannelList& list,
                                             const std::vector<uint32_t>& before);
// Why a service cannot name `transponder`, or nothing.
std::optional<std::string> TransponderReferenceProblem(const ChannelList& list,
                                                       TransponderId transponder);

// "Overflow number of services: N would be more than the 1500 the table holds".
std::string OverflowMessage(const char* noun, int count, int capacity);

}  // namespace tavlink::channels::detail
