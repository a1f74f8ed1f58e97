#pragma once
// Orders and groups of a list's services, as plain results that the editor
// turns into steps (or a view shows). An order is a vector `order` in which
// order[i] is the position now of the service that goes to position i.

#include <vector>

#include "channels/channel_list.h"

namespace tavlink::channels {

enum class ServiceSort {
  kByName,                   // ASCII letters without case, then the bytes
  kByServiceId,              // service_id
  kBySatelliteAndFrequency,  // satellite position, then frequency, then V before H
  kTvBeforeRadio,            // TV services, then radio services
};

// Every sort is stable: services that compare equal keep their order.
// Services without a transponder (or satellite) come after the others in
// kBySatelliteAndFrequency.
std::vector<int> SortedServiceOrder(const ChannelList& list, ServiceSort sort);

// The order of `reference`: each service of `list` is matched to one of
// `reference` by service_id and transponder (the transponder's satellite
// name and position, frequency and polarization), then the rest by name;
// matched services take the reference's order, the unmatched keep their
// relative order after them. When several services share a key they are
// matched in order.
std::vector<int> ReferenceServiceOrder(const ChannelList& list, const ChannelList& reference);

enum class DuplicateKind {
  kSameServiceOnTransponder,  // the same service_id on the same transponder
  kSameName,                  // the same name, byte for byte
};

// Groups of two or more services that are duplicates of each other, each in
// list order, the groups ordered by their first service.
std::vector<std::vector<ServiceId>> FindDuplicateServices(const ChannelList& list,
                                                          DuplicateKind kind);

}  // namespace tavlink::channels
