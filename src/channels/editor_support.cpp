#include "channels/editor_support.h"

#include <algorithm>

#include "channels/field_limits.h"
#include "channels/record_labels.h"

namespace tavlink::channels::detail {

std::string Counted(size_t count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

std::vector<Position> ToPositions(const std::vector<int>& positions) {
  return std::vector<Position>(positions.begin(), positions.end());
}

std::vector<uint32_t> ServicesBeyondTpIndex(const ChannelList& list) {
  std::vector<uint32_t> ids;
  for (const Service& service : list.services()) {
    if (list.TransponderNumber(service.transponder()) > kMaxTpIndex) {
      ids.push_back(service.id().value);
    }
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::optional<std::string> NewTpIndexProblem(const ChannelList& list,
                                             const std::vector<uint32_t>& before) {
  for (const uint32_t id : ServicesBeyondTpIndex(list)) {
    if (std::binary_search(before.begin(), before.end(), id)) continue;
    const Service& service = *list.Find(ServiceId{id});
    const Transponder& tp = *list.Find(service.transponder());
    return "tp_index must be 1 to 256: service " + QuotedName(service.name()) +
           " would name transponder " + TransponderLabel(tp) + " as number " +
           std::to_string(list.TransponderNumber(tp.id())) + " of its satellite";
  }
  return std::nullopt;
}

std::optional<std::string> TransponderReferenceProblem(const ChannelList& list,
                                                       TransponderId transponder) {
  const Transponder* tp = list.Find(transponder);
  if (!tp || !tp->satellite().valid()) return "The satellite or transponder is not valid.";
  const int number = list.TransponderNumber(transponder);
  if (number > kMaxTpIndex) {
    return "tp_index must be 1 to 256: transponder " + TransponderLabel(*tp) + " is number " +
           std::to_string(number) + " of its satellite";
  }
  return std::nullopt;
}

std::string OverflowMessage(const char* noun, int count, int capacity) {
  return std::string("Overflow number of ") + noun + ": " + std::to_string(count) +
         " would be more than the " + std::to_string(capacity) + " the table holds";
}

}  // namespace tavlink::channels::detail
