#pragma once
// Internal to the channel library: one step of the undo history. A step is
// the list of operations an edit made, each holding just what it needs to be
// applied again and undone: rows inserted or removed (with their identities),
// positions moved, the differing bytes of changed rows, the header before and
// after. No step holds a copy of the list.
//
// Operations on different tables are independent (rows refer to each other
// by identity), so each table's operations are applied in their order and
// undone in the reverse order, table by table.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "channels/channel_list.h"
#include "channels/list_change.h"
#include "channels/row_table.h"

namespace tavlink::channels::detail {

template <typename Row>
struct RowOp {
  enum class Kind : uint8_t { kInsert, kRemove, kMove, kExchange, kPatch };
  Kind kind = Kind::kInsert;
  std::vector<Position> a;  // insert, remove, patch: positions; move, exchange: from
  std::vector<Position> b;  // move, exchange: to
  std::vector<Row> rows;    // insert, remove: the rows
  // patch: for each position of `a`, the first differing byte's offset, the
  // length, the old bytes and the new bytes
  std::vector<uint8_t> patch;
};

struct Step {
  std::string description;
  uint64_t serial = 0;
  std::vector<RowOp<Satellite>> satellites;
  std::vector<RowOp<Transponder>> transponders;
  std::vector<RowOp<Service>> services;
  std::optional<HeaderState> header_before;
  std::optional<HeaderState> header_after;

  bool empty() const {
    return satellites.empty() && transponders.empty() && services.empty() && !header_after;
  }
  // The bytes the step holds, its own size included.
  size_t Bytes() const;
};

// Apply the step again (redo) or undo it.
void Redo(ChannelList& list, const Step& step);
void Undo(ChannelList& list, const Step& step);
// What applying the step forward (redo) or backward (undo) changes.
ListChange DescribeChange(const Step& step, bool forward);

// Builds a step while applying each operation to the list at once, so that
// every next operation is planned on the list as it now is. A builder that
// is destroyed without Commit() undoes what it applied: the list is as it was.
class StepBuilder {
 public:
  explicit StepBuilder(ChannelList& list) : list_(list) {}
  StepBuilder(const StepBuilder&) = delete;
  StepBuilder& operator=(const StepBuilder&) = delete;
  ~StepBuilder();

  const ChannelList& list() const { return list_; }

  // As RowTable's operations of the same names. Inserting or removing rows
  // ends the table's count as found.
  template <typename Row>
  void Insert(std::vector<Position> positions, std::vector<Row> rows);
  template <typename Row>
  void Remove(std::vector<Position> positions);
  template <typename Row>
  void Move(std::vector<Position> from, std::vector<Position> to);
  template <typename Row>
  void Exchange(std::vector<Position> from, std::vector<Position> to);
  // Puts `row` (same identity) at `position`; nothing when it is unchanged.
  template <typename Row>
  void Replace(int position, const Row& row);
  void SetHeader(const HeaderState& header);

  bool empty() const { return step_.empty(); }
  // The finished step, its buffers trimmed to size.
  Step Commit(std::string description);

 private:
  template <typename Row>
  void EndCountAsFound();

  ChannelList& list_;
  Step step_;
  bool committed_ = false;
};

}  // namespace tavlink::channels::detail
