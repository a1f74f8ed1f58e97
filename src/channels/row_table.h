#pragma once
// Internal to the channel library: one table of rows in list order, with the
// position of every row found by its identity in constant time. The
// operations that change the order are the ones an edit step records and
// inverts; each takes positions that the caller has checked (ascending,
// distinct, within the table) and stops the program otherwise, as the block's
// record access does.
//
// Identities are handed out by NextId() and never reused; a removed row's
// identity maps to no position until the row is inserted again (undo).

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace tavlink::channels::detail {

using Position = uint16_t;  // every table holds at most 1,500 rows

template <typename Row>
class RowTable {
 public:
  int size() const { return static_cast<int>(rows_.size()); }
  const std::vector<Row>& rows() const { return rows_; }
  const Row& operator[](int position) const { return rows_[static_cast<size_t>(position)]; }
  Row& at(int position) { return rows_[static_cast<size_t>(position)]; }

  // The position of the row with identity `id`, or -1.
  int PositionOf(uint32_t id) const { return id < positions_.size() ? positions_[id] : -1; }

  uint32_t NextId() {
    positions_.push_back(-1);
    return static_cast<uint32_t>(positions_.size() - 1);
  }

  // Room for `rows` rows without reallocation.
  void Reserve(size_t rows) {
    rows_.reserve(rows);
    positions_.reserve(positions_.size() + rows);
  }

  void Append(const Row& row) {
    Require(row.id().value < positions_.size());
    positions_[row.id().value] = size();
    rows_.push_back(row);
  }

  // Inserts `rows` so that rows[i] ends at positions[i] (positions in the
  // table after the insert, ascending).
  void Insert(std::span<const Position> positions, std::span<const Row> rows) {
    Require(positions.size() == rows.size() && Ascending(positions, rows_.size() + rows.size()));
    if (rows.empty()) return;
    std::vector<Row> merged;
    merged.reserve(rows_.size() + rows.size());
    size_t from = 0;
    size_t inserted = 0;
    for (size_t at = 0; at < rows_.size() + rows.size(); ++at) {
      if (inserted < rows.size() && positions[inserted] == at) {
        Require(rows[inserted].id().value < positions_.size());
        merged.push_back(rows[inserted++]);
      } else {
        merged.push_back(rows_[from++]);
      }
    }
    rows_.swap(merged);
    Reindex(positions.front());
  }

  // Removes the rows at `positions` (ascending), appending them to `removed`
  // when given.
  void Remove(std::span<const Position> positions, std::vector<Row>* removed) {
    Require(Ascending(positions, rows_.size()));
    if (positions.empty()) return;
    size_t kept = positions.front();
    size_t next = 0;
    for (size_t at = positions.front(); at < rows_.size(); ++at) {
      if (next < positions.size() && positions[next] == at) {
        ++next;
        positions_[rows_[at].id().value] = -1;
        if (removed) removed->push_back(rows_[at]);
      } else {
        rows_[kept++] = rows_[at];
      }
    }
    rows_.resize(kept);
    Reindex(positions.front());
  }

  // Takes the rows at `from` (ascending) out and puts them back, in the same
  // order, at `to` (positions after the move, ascending).
  void Move(std::span<const Position> from, std::span<const Position> to) {
    Require(from.size() == to.size());
    std::vector<Row> moved;
    moved.reserve(from.size());
    Remove(from, &moved);
    Insert(to, moved);
  }

  // The row at from[i] goes to to[i]; `from` and `to` hold the same set of
  // positions, so every other row stays where it is.
  void Exchange(std::span<const Position> from, std::span<const Position> to) {
    Require(from.size() == to.size());
    std::vector<int> balance(rows_.size(), 0);
    for (size_t i = 0; i < from.size(); ++i) {
      Require(from[i] < rows_.size() && to[i] < rows_.size());
      ++balance[from[i]];
      --balance[to[i]];
    }
    for (const int b : balance) Require(b == 0);
    std::vector<Row> moved;
    moved.reserve(from.size());
    for (const Position p : from) moved.push_back(rows_[p]);
    for (size_t i = 0; i < to.size(); ++i) {
      Require(to[i] < rows_.size());
      rows_[to[i]] = moved[i];
    }
    for (const Position p : to) positions_[rows_[p].id().value] = p;
  }

 private:
  static void Require(bool condition) {
    if (!condition) std::abort();  // an edit step's fault, never the data's
  }
  static bool Ascending(std::span<const Position> positions, size_t limit) {
    for (size_t i = 0; i < positions.size(); ++i) {
      if (positions[i] >= limit || (i > 0 && positions[i] <= positions[i - 1])) return false;
    }
    return true;
  }
  void Reindex(size_t from) {
    for (size_t at = from; at < rows_.size(); ++at) {
      positions_[rows_[at].id().value] = static_cast<int>(at);
    }
  }

  std::vector<Row> rows_;
  std::vector<int> positions_{-1};  // by identity; identity 0 is never given
};

}  // namespace tavlink::channels::detail
