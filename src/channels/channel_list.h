#pragma once
// The channel list: a receiver data block as satellites, transponders and
// services in list order, each a row with a stable identity
// (channel_rows.h), plus the antenna configuration. A list is a value:
// copying one is cheap enough for a comparison or a reference list, and
// changes go through a ChannelEditor (channel_editor.h), which keeps the
// undo history.
//
// Nothing the source block held is lost. The header's magic and reserved
// fields, the slots of each table beyond its count, the unused bytes at the
// end of the satellite and service regions and the 4,096 bytes at 61,440 are
// kept as the block had them and come back in every block the list makes;
// each record's own bytes travel in its row. A list made from a block and
// turned back without edits gives the same 65,536 bytes, also for a block
// that breaks the tables' limits:
//   - a count outside 0..capacity is kept as found (CountAsFound) and
//     written back until the first insert or delete in that table; the list
//     holds the records within the capacity;
//   - an owner_sat that names no satellite (255, or not below sat_count) and
//     a tp_entry that names no transponder leave the reference invalid and
//     are written back as found while they still name nothing (255 and
//     0x7FFF otherwise, so that an edit never makes them name a record).
// CheckList (list_check.h) lists such problems.
//
// Threading: none. A list is used from one thread at a time; the const
// members fill caches and are not safe to call concurrently either.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "channels/channel_rows.h"
#include "channels/row_table.h"
#include "data/receiver_data_block.h"

namespace tavlink::channels {

namespace detail {
struct ListAccess;
}

// The header values that edits change; the rest of the header is kept.
struct HeaderState {
  int32_t antenna_config = -1;
  // By Table: a count outside 0..capacity as the source block had it.
  std::array<std::optional<int32_t>, 3> count_as_found;

  friend bool operator==(const HeaderState&, const HeaderState&) = default;
};

class ChannelList {
 public:
  // An empty list: a valid header, no records, antenna_config -1, every
  // other byte of its blocks zero.
  ChannelList();
  // The list of `block` exactly, whatever its counts and references hold.
  static ChannelList FromBlock(const ReceiverDataBlock& block);

  // Writes the list's block into `block` (all 65,536 bytes).
  void ToBlock(ReceiverDataBlock& block) const;
  std::unique_ptr<ReceiverDataBlock> ToBlock() const;
  // The data text of the list's block, byte for byte as the writer writes it
  // (LF stored as CR LF); empty when the kept magic is not "evileyes".
  std::string ToDataText() const;

  bool has_valid_magic() const { return background_->IsValid(); }
  int32_t antenna_config() const { return header_.antenna_config; }
  const HeaderState& header() const { return header_; }
  // The header count of `table` as the source block had it, when it lay
  // outside 0..capacity and the table has not been resized since.
  std::optional<int32_t> CountAsFound(Table table) const {
    return header_.count_as_found[static_cast<size_t>(table)];
  }
  // The count the list's block gets for `table`.
  int32_t StoredCount(Table table) const;

  const std::vector<Satellite>& satellites() const { return satellites_.rows(); }
  const std::vector<Transponder>& transponders() const { return transponders_.rows(); }
  const std::vector<Service>& services() const { return services_.rows(); }

  // The position of a record in its table, or -1 when the list has none.
  int PositionOf(SatelliteId id) const { return satellites_.PositionOf(id.value); }
  int PositionOf(TransponderId id) const { return transponders_.PositionOf(id.value); }
  int PositionOf(ServiceId id) const { return services_.PositionOf(id.value); }
  // The record, or nullptr. The pointer is valid until the next edit.
  const Satellite* Find(SatelliteId id) const;
  const Transponder* Find(TransponderId id) const;
  const Service* Find(ServiceId id) const;

  // Derived views for tables and the data text's numbering; each answers in
  // constant time after the first call following an edit (which takes time
  // linear in the tables).
  //
  // The positions in transponders() of the transponders of `satellite`, in
  // table order; with an invalid id, those that belong to no satellite.
  std::span<const int> TransponderPositionsOf(SatelliteId satellite) const;
  // The transponder's number among its satellite's transponders, from 1, as
  // the data text's tp_index counts; 0 when it belongs to no satellite or
  // is not in the list.
  int TransponderNumber(TransponderId id) const;
  // The number of services that name the transponder.
  int ServiceCountOf(TransponderId id) const;
  // The satellite of a service's transponder, or an invalid id.
  SatelliteId SatelliteOf(const Service& service) const;

 private:
  friend struct detail::ListAccess;

  struct Derived {
    bool valid = false;
    std::vector<int> by_satellite;   // transponder positions grouped by satellite position
    std::vector<int> group_start;    // by satellite position, and one past: no satellite
    std::vector<int> number;         // by transponder position
    std::vector<int> service_count;  // by transponder position
  };
  const Derived& derived() const;
  void Invalidate() { derived_.valid = false; }

  std::shared_ptr<const ReceiverDataBlock> background_;
  HeaderState header_;
  detail::RowTable<Satellite> satellites_;
  detail::RowTable<Transponder> transponders_;
  detail::RowTable<Service> services_;
  mutable Derived derived_;
};

}  // namespace tavlink::channels
