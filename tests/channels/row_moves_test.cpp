// Where selected rows go, row by row.

#include "channels/row_moves.h"

#include <gtest/gtest.h>

namespace tavlink::channels {
namespace {

struct MoveRow {
  const char* name;
  int size;
  std::vector<int> selected;
  MoveTo to;
  std::vector<int> after;
};

void PrintTo(const MoveRow& row, std::ostream* out) {
  *out << row.name;
}

class MovedPositionsTest : public ::testing::TestWithParam<MoveRow> {};

TEST_P(MovedPositionsTest, GivesThePositionsAfter) {
  const MoveRow& row = GetParam();
  EXPECT_EQ(MovedPositions(row.size, row.selected, row.to), row.after);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MovedPositionsTest,
    ::testing::Values(
        MoveRow{"UpByOne", 5, {3}, MoveTo::Up(), {2}},
        MoveRow{"UpAtTheTopStays", 5, {0}, MoveTo::Up(), {0}},
        MoveRow{"UpRowsPackedAtTheTopStay", 6, {0, 1, 3, 5}, MoveTo::Up(), {0, 1, 2, 4}},
        MoveRow{"UpTwoApart", 6, {2, 4}, MoveTo::Up(), {1, 3}},
        MoveRow{"DownByOne", 5, {1}, MoveTo::Down(), {2}},
        MoveRow{"DownPackedAtTheBottomStay", 5, {0, 3, 4}, MoveTo::Down(), {1, 3, 4}},
        MoveRow{"TopKeepsTheirOrder", 6, {2, 4, 5}, MoveTo::Top(), {0, 1, 2}},
        MoveRow{"Bottom", 6, {0, 2}, MoveTo::Bottom(), {4, 5}},
        MoveRow{"ToPosition", 8, {1, 6}, MoveTo::ToPosition(3), {3, 4}},
        MoveRow{"ToPositionClampedAtTheEnd", 8, {1, 6}, MoveTo::ToPosition(99), {6, 7}},
        MoveRow{"ToPositionClampedAtTheStart", 8, {5}, MoveTo::ToPosition(-4), {0}},
        MoveRow{"NothingSelected", 4, {}, MoveTo::Top(), {}}),
    [](const ::testing::TestParamInfo<MoveRow>& info) { return info.param.name; });

}  // namespace
}  // namespace tavlink::channels
