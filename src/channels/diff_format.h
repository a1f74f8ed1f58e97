#pragma once
// The comparison's result as text: a one-line summary, a listing with one
// line per difference, and JSON for scripts.

#include <string>

#include "channels/list_compare.h"

namespace tavlink::channels {

// "12 services moved, 3 removed, 1 satellite changed, antenna_config changed";
// "no differences" when the lists are the same. Tables in the order
// services, transponders, satellites; within a table added, moved, removed,
// changed.
std::string DiffSummary(const ListDiff& diff);

// One line per difference, each ending with LF; nothing when the lists are
// the same. For example:
//   antenna_config: -1 -> 3
//   satellite 2 "HOTBIRD" 13.0 east: removed
//   transponder 12663 H of "ASTRA 1" 19.2 east: moved from 3 to 1
//   service 12 "ZDF" (service_id 28006 on 11953 H of "ASTRA 1" 19.2 east): favorite 0 -> 1
// The number after "satellite" or "service" is the record's position in the
// list after (before, for a removed record).
std::string DiffListing(const ListDiff& diff);

// {"equal":false,"summary":"...","antenna_config":{"before":-1,"after":3},
//  "differences":[{"table":"service","kind":"moved","label":"...",
//  "before":12,"after":3,"fields":[{"field":"favorite","before":"0","after":"1"}]}]}
// antenna_config is null when it did not change; positions are 0 where the
// record has none. Names are written byte for byte as JSON strings: control
// characters escaped, bytes above 127 as \u00XX (Latin-1).
std::string DiffJson(const ListDiff& diff);

}  // namespace tavlink::channels
