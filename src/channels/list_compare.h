#pragma once
// Two channel lists compared record by record, by what makes a record the
// same record, not by position: a satellite by its name and orbital position
// (angle and east_west), a transponder by its satellite, frequency and
// polarization, a service by its service_id and transponder, then by its
// name. Records with the same key are matched in list order. The lists may
// come from texts, block images or a receiver alike.
//
// A matched record is moved when its order among the other matched records
// changed (the fewest records that explain the new order are called moved:
// inserting one service at the top moves no other), changed when a field
// that is not part of its key differs. Positions are from 1: a satellite's
// in the satellite list, a transponder's among its satellite's transponders
// (the data text's tp_index), a service's in the service list.

#include <optional>
#include <string>
#include <vector>

#include "channels/channel_list.h"

namespace tavlink::channels {

enum class DiffKind { kAdded, kRemoved, kMoved, kChanged };

struct FieldChange {
  std::string field;   // the data text's field name
  std::string before;  // values as the data text writes them (names in quotes)
  std::string after;
};

struct RecordDiff {
  Table table = Table::kServices;
  DiffKind kind = DiffKind::kChanged;
  // The record for a technician: "ASTRA 1" 19.2 east; 12663 H of "ASTRA 1"
  // 19.2 east; "ZDF" (service_id 28006 on 11953 H of "ASTRA 1" 19.2 east).
  std::string label;
  int before_position = 0;          // 0 when added
  int after_position = 0;           // 0 when removed
  std::vector<FieldChange> fields;  // kChanged
};

struct AntennaChange {
  int32_t before = -1;
  int32_t after = -1;
};

struct ListDiff {
  // Satellites, then transponders, then services; within each table the
  // removed (by position before), the added, the moved and the changed (by
  // position after).
  std::vector<RecordDiff> records;
  std::optional<AntennaChange> antenna_config;

  bool empty() const { return records.empty() && !antenna_config; }
  int Count(Table table, DiffKind kind) const;
};

struct CompareOptions {
  // Also report records whose kept bytes differ (reserved bytes, kept bits,
  // the bytes after a name's zero byte), as the field "kept bytes" in hex.
  bool kept_bytes = false;
};

ListDiff CompareLists(const ChannelList& before, const ChannelList& after,
                      const CompareOptions& options = {});

}  // namespace tavlink::channels
