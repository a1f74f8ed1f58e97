#pragma once
// Identities of the records of a channel list, and the names of its three
// tables. An identity is given once, when a record enters a list (built from
// a block, read from a text, inserted by an edit), and stays with the record
// through moves, sorts, undo and redo; it is never given to another record of
// the same list. Identities mean nothing across lists: two lists are compared
// by their records' contents (list_compare.h).

#include <compare>
#include <cstdint>

namespace tavlink::channels {

enum class Table { kSatellites, kTransponders, kServices };

template <typename Tag>
struct RecordId {
  uint32_t value = 0;  // 0 names no record

  constexpr bool valid() const { return value != 0; }
  friend constexpr bool operator==(RecordId, RecordId) = default;
  friend constexpr auto operator<=>(RecordId, RecordId) = default;
};

using SatelliteId = RecordId<struct SatelliteTag>;
using TransponderId = RecordId<struct TransponderTag>;
using ServiceId = RecordId<struct ServiceTag>;

}  // namespace tavlink::channels
