#pragma once
// What an edit, an undo or a redo changed, for a view to update itself
// without reading the whole list again. Positions are rows of the table
// concerned, from 0.
//
// A view that shows values derived from other tables (a service's satellite
// and transponder numbers, a transponder's frequency in a service row)
// refreshes them whenever the satellite or transponder table changes.

#include <string>
#include <vector>

#include "channels/channel_ids.h"

namespace tavlink::channels {

struct TableChange {
  enum class Kind {
    kNone,
    kRowsChanged,   // `rows`: rows whose fields changed (positions after)
    kRowsInserted,  // `rows`: the new rows' positions after, ascending
    kRowsRemoved,   // `rows`: the removed rows' positions before, ascending
    kRowsMoved,     // rows[i] went to to[i]; other rows may have shifted; identities stay
    kReset,         // anything else: read the table again (identities stay)
  };
  Kind kind = Kind::kNone;
  std::vector<int> rows;
  std::vector<int> to;
};

struct ListChange {
  enum class Cause { kEdit, kUndo, kRedo };
  Cause cause = Cause::kEdit;
  std::string description;  // the step's description
  TableChange satellites;
  TableChange transponders;
  TableChange services;
  bool antenna_config = false;

  const TableChange& of(Table table) const {
    return table == Table::kSatellites     ? satellites
           : table == Table::kTransponders ? transponders
                                           : services;
  }
};

}  // namespace tavlink::channels
