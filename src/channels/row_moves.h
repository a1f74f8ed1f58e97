#pragma once
// Where selected rows go when they move: up or down by one, to the top, to
// the bottom, or to a position. Selected rows keep their order among
// themselves and so do the others. Moving up, a selected row passes the
// unselected row above it; rows already packed at the top stay (and the same
// downwards), as a technician's multi-selection moves in a list.

#include <span>
#include <vector>

namespace tavlink::channels {

struct MoveTo {
  enum class Kind { kUp, kDown, kTop, kBottom, kPosition };
  Kind kind = Kind::kUp;
  int position = 0;  // kPosition: the first selected row's position after, from 0

  static MoveTo Up() { return {Kind::kUp, 0}; }
  static MoveTo Down() { return {Kind::kDown, 0}; }
  static MoveTo Top() { return {Kind::kTop, 0}; }
  static MoveTo Bottom() { return {Kind::kBottom, 0}; }
  // Clamped so that the selection fits in the table.
  static MoveTo ToPosition(int position) { return {Kind::kPosition, position}; }
};

// The positions after the move of the rows at `selected` (ascending, distinct,
// each below `size`), in the same order.
std::vector<int> MovedPositions(int size, std::span<const int> selected, MoveTo to);

}  // namespace tavlink::channels
