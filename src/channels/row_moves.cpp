#include "channels/row_moves.h"

#include <algorithm>

namespace tavlink::channels {

std::vector<int> MovedPositions(int size, std::span<const int> selected, MoveTo to) {
  const int count = static_cast<int>(selected.size());
  std::vector<int> after(selected.begin(), selected.end());
  switch (to.kind) {
    case MoveTo::Kind::kUp:
      for (int i = 0; i < count; ++i)
        after[i] = std::max(selected[i] - 1, i == 0 ? 0 : after[i - 1] + 1);
      break;
    case MoveTo::Kind::kDown:
      for (int i = count - 1; i >= 0; --i) {
        after[i] = std::min(selected[i] + 1, i == count - 1 ? size - 1 : after[i + 1] - 1);
      }
      break;
    case MoveTo::Kind::kTop:
      for (int i = 0; i < count; ++i) after[i] = i;
      break;
    case MoveTo::Kind::kBottom:
      for (int i = 0; i < count; ++i) after[i] = size - count + i;
      break;
    case MoveTo::Kind::kPosition: {
      const int first = std::clamp(to.position, 0, std::max(0, size - count));
      for (int i = 0; i < count; ++i) after[i] = first + i;
      break;
    }
  }
  return after;
}

}  // namespace tavlink::channels
