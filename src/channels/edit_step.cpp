#include "channels/edit_step.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "channels/list_access.h"

namespace tavlink::channels::detail {
namespace {

template <typename Row>
std::vector<RowOp<Row>>& OpsOf(Step& step) {
  if constexpr (std::is_same_v<Row, Satellite>) {
    return step.satellites;
  } else if constexpr (std::is_same_v<Row, Transponder>) {
    return step.transponders;
  } else {
    return step.services;
  }
}

template <typename Row>
constexpr Table TableOfRow() {
  if constexpr (std::is_same_v<Row, Satellite>) {
    return Table::kSatellites;
  } else if constexpr (std::is_same_v<Row, Transponder>) {
    return Table::kTransponders;
  } else {
    return Table::kServices;
  }
}

TableChange& ChangeOf(ListChange& change, Table table) {
  return table == Table::kSatellites     ? change.satellites
         : table == Table::kTransponders ? change.transponders
                                         : change.services;
}

std::vector<int> Ints(const std::vector<Position>& positions) {
  return std::vector<int>(positions.begin(), positions.end());
}

template <typename Row>
uint8_t* BytesOf(Row& row) {
  return reinterpret_cast<uint8_t*>(&row);
}

template <typename Row>
void ApplyPatch(RowTable<Row>& table, const RowOp<Row>& op, bool forward) {
  size_t at = 0;
  for (const Position p : op.a) {
    const uint8_t offset = op.patch[at];
    const uint8_t length = op.patch[at + 1];
    const uint8_t* bytes = &op.patch[at + 2 + (forward ? length : 0)];
    std::memcpy(BytesOf(table.at(p)) + offset, bytes, length);
    at += 2 + 2u * length;
  }
}

// One operation forward or backward.
template <typename Row>
void ApplyOp(RowTable<Row>& table, const RowOp<Row>& op, bool forward) {
  using Kind = typename RowOp<Row>::Kind;
  switch (op.kind) {
    case Kind::kInsert:
    case Kind::kRemove:
      if ((op.kind == Kind::kInsert) == forward) {
        table.Insert(op.a, op.rows);
      } else {
        table.Remove(op.a, nullptr);
      }
      break;
    case Kind::kMove:
      table.Move(forward ? op.a : op.b, forward ? op.b : op.a);
      break;
    case Kind::kExchange:
      table.Exchange(forward ? op.a : op.b, forward ? op.b : op.a);
      break;
    case Kind::kPatch:
      ApplyPatch(table, op, forward);
      break;
  }
}

// Adds what one operation, forward or backward, does to its table.
template <typename Row>
void AddChange(const RowOp<Row>& op, bool forward, TableChange& change) {
  using Kind = typename RowOp<Row>::Kind;
  TableChange done;
  switch (op.kind) {
    case Kind::kInsert:
    case Kind::kRemove:
      done = {(op.kind == Kind::kInsert) == forward ? TableChange::Kind::kRowsInserted
                                                    : TableChange::Kind::kRowsRemoved,
              Ints(op.a),
              {}};
      break;
    case Kind::kMove:
    case Kind::kExchange:
      done = {TableChange::Kind::kRowsMoved, Ints(forward ? op.a : op.b),
              Ints(forward ? op.b : op.a)};
      break;
    case Kind::kPatch:
      done = {TableChange::Kind::kRowsChanged, Ints(op.a), {}};
      break;
  }
  // One operation is described exactly; changed rows of several patches are
  // joined; anything else resets the table.
  if (change.kind == TableChange::Kind::kNone) {
    change = std::move(done);
  } else if (change.kind == TableChange::Kind::kRowsChanged &&
             done.kind == TableChange::Kind::kRowsChanged) {
    change.rows.insert(change.rows.end(), done.rows.begin(), done.rows.end());
    std::sort(change.rows.begin(), change.rows.end());
    change.rows.erase(std::unique(change.rows.begin(), change.rows.end()), change.rows.end());
  } else {
    change = {TableChange::Kind::kReset, {}, {}};
  }
}

template <typename Row>
void ApplyOps(ChannelList& list, const std::vector<RowOp<Row>>& ops, bool forward) {
  RowTable<Row>& table = ListAccess::TableOf<Row>(list);
  if (forward) {
    for (const RowOp<Row>& op : ops) ApplyOp(table, op, true);
  } else {
    for (auto op = ops.rbegin(); op != ops.rend(); ++op) ApplyOp(table, *op, false);
  }
}

template <typename Row>
void AddChanges(const std::vector<RowOp<Row>>& ops, bool forward, ListChange& change) {
  TableChange& tableChange = ChangeOf(change, TableOfRow<Row>());
  if (forward) {
    for (const RowOp<Row>& op : ops) AddChange(op, true, tableChange);
  } else {
    for (auto op = ops.rbegin(); op != ops.rend(); ++op) AddChange(*op, false, tableChange);
  }
}

void ApplyStep(ChannelList& list, const Step& step, bool forward) {
  ApplyOps(list, step.satellites, forward);
  ApplyOps(list, step.transponders, forward);
  ApplyOps(list, step.services, forward);
  if (step.header_after) {
    ListAccess::Header(list) = forward ? *step.header_after : *step.header_before;
  }
  ListAccess::Changed(list);
}

template <typename Row>
size_t OpsBytes(const std::vector<RowOp<Row>>& ops) {
  size_t bytes = ops.capacity() * sizeof(RowOp<Row>);
  for (const RowOp<Row>& op : ops) {
    bytes += (op.a.capacity() + op.b.capacity()) * sizeof(Position) +
             op.rows.capacity() * sizeof(Row) + op.patch.capacity();
  }
  return bytes;
}

template <typename Row>
void Trim(std::vector<RowOp<Row>>& ops) {
  ops.shrink_to_fit();
  for (RowOp<Row>& op : ops) {
    op.a.shrink_to_fit();
    op.b.shrink_to_fit();
    op.rows.shrink_to_fit();
    op.patch.shrink_to_fit();
  }
}

}  // namespace

size_t Step::Bytes() const {
  return sizeof(Step) + description.capacity() + OpsBytes(satellites) + OpsBytes(transponders) +
         OpsBytes(services);
}

void Redo(ChannelList& list, const Step& step) {
  ApplyStep(list, step, true);
}

void Undo(ChannelList& list, const Step& step) {
  ApplyStep(list, step, false);
}

ListChange DescribeChange(const Step& step, bool forward) {
  ListChange change;
  change.description = step.description;
  AddChanges(step.satellites, forward, change);
  AddChanges(step.transponders, forward, change);
  AddChanges(step.services, forward, change);
  change.antenna_config =
      step.header_after && step.header_after->antenna_config != step.header_before->antenna_config;
  return change;
}

StepBuilder::~StepBuilder() {
  if (!committed_) Undo(list_, step_);
}

template <typename Row>
void StepBuilder::EndCountAsFound() {
  const auto t = static_cast<size_t>(TableOfRow<Row>());
  HeaderState header = list_.header();
  if (header.count_as_found[t]) {
    header.count_as_found[t].reset();
    SetHeader(header);
  }
}

template <typename Row>
void StepBuilder::Insert(std::vector<Position> positions, std::vector<Row> rows) {
  if (rows.empty()) return;
  EndCountAsFound<Row>();
  RowOp<Row> op{RowOp<Row>::Kind::kInsert, std::move(positions), {}, std::move(rows), {}};
  ListAccess::TableOf<Row>(list_).Insert(op.a, op.rows);
  ListAccess::Changed(list_);
  OpsOf<Row>(step_).push_back(std::move(op));
}

template <typename Row>
void StepBuilder::Remove(std::vector<Position> positions) {
  if (positions.empty()) return;
  EndCountAsFound<Row>();
  RowOp<Row> op{RowOp<Row>::Kind::kRemove, std::move(positions), {}, {}, {}};
  op.rows.reserve(op.a.size());
  ListAccess::TableOf<Row>(list_).Remove(op.a, &op.rows);
  ListAccess::Changed(list_);
  OpsOf<Row>(step_).push_back(std::move(op));
}

template <typename Row>
void StepBuilder::Move(std::vector<Position> from, std::vector<Position> to) {
  if (from == to) return;
  RowOp<Row> op{RowOp<Row>::Kind::kMove, std::move(from), std::move(to), {}, {}};
  ListAccess::TableOf<Row>(list_).Move(op.a, op.b);
  ListAccess::Changed(list_);
  OpsOf<Row>(step_).push_back(std::move(op));
}

template <typename Row>
void StepBuilder::Exchange(std::vector<Position> from, std::vector<Position> to) {
  // Only the rows that change places are kept.
  std::vector<Position> a, b;
  for (size_t i = 0; i < from.size(); ++i) {
    if (from[i] != to[i]) {
      a.push_back(from[i]);
      b.push_back(to[i]);
    }
  }
  if (a.empty()) return;
  RowOp<Row> op{RowOp<Row>::Kind::kExchange, std::move(a), std::move(b), {}, {}};
  ListAccess::TableOf<Row>(list_).Exchange(op.a, op.b);
  ListAccess::Changed(list_);
  OpsOf<Row>(step_).push_back(std::move(op));
}

template <typename Row>
void StepBuilder::Replace(int position, const Row& row) {
  Row& current = ListAccess::TableOf<Row>(list_).at(position);
  const uint8_t* before = BytesOf(current);
  const uint8_t* after = reinterpret_cast<const uint8_t*>(&row);
  size_t first = 0;
  while (first < sizeof(Row) && before[first] == after[first]) ++first;
  if (first == sizeof(Row)) return;
  size_t end = sizeof(Row);
  while (before[end - 1] == after[end - 1]) --end;

  auto& ops = OpsOf<Row>(step_);
  // Rows changed in ascending order share one operation.
  if (ops.empty() || ops.back().kind != RowOp<Row>::Kind::kPatch ||
      ops.back().a.back() >= position) {
    ops.push_back(RowOp<Row>{RowOp<Row>::Kind::kPatch, {}, {}, {}, {}});
  }
  RowOp<Row>& op = ops.back();
  op.a.push_back(static_cast<Position>(position));
  op.patch.push_back(static_cast<uint8_t>(first));
  op.patch.push_back(static_cast<uint8_t>(end - first));
  op.patch.insert(op.patch.end(), before + first, before + end);
  op.patch.insert(op.patch.end(), after + first, after + end);
  current = row;
  ListAccess::Changed(list_);
}

void StepBuilder::SetHeader(const HeaderState& header) {
  if (!step_.header_before) step_.header_before = list_.header();
  step_.header_after = header;
  ListAccess::Header(list_) = header;
  if (*step_.header_after == *step_.header_before) {
    step_.header_before.reset();
    step_.header_after.reset();
  }
}

Step StepBuilder::Commit(std::string description) {
  committed_ = true;
  step_.description = std::move(description);
  step_.description.shrink_to_fit();
  Trim(step_.satellites);
  Trim(step_.transponders);
  Trim(step_.services);
  return std::move(step_);
}

#define TAVLINK_STEP_BUILDER_FOR(Row)                                                     \
  template void StepBuilder::Insert<Row>(std::vector<Position>, std::vector<Row>);        \
  template void StepBuilder::Remove<Row>(std::vector<Position>);                          \
  template void StepBuilder::Move<Row>(std::vector<Position>, std::vector<Position>);     \
  template void StepBuilder::Exchange<Row>(std::vector<Position>, std::vector<Position>); \
  template void StepBuilder::Replace<Row>(int, const Row&);
TAVLINK_STEP_BUILDER_FOR(Satellite)
TAVLINK_STEP_BUILDER_FOR(Transponder)
TAVLINK_STEP_BUILDER_FOR(Service)
#undef TAVLINK_STEP_BUILDER_FOR

}  // namespace tavlink::channels::detail
