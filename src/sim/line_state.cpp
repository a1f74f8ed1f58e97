#include "sim/line_state.h"

namespace tavlink::sim {

std::string DescribeMismatch(const LineState& state, uint32_t expectedBaud, uint32_t alsoAccepted) {
  std::string text;
  auto add = [&text](const std::string& item) {
    if (!text.empty()) text += ", ";
    text += item;
  };
  if (state.baud != expectedBaud && (alsoAccepted == 0 || state.baud != alsoAccepted)) {
    add("speed " + (state.baud ? std::to_string(state.baud) : std::string("non-standard")) +
        " (expected " + std::to_string(expectedBaud) + ")");
  }
  if (!state.cs8) add("not 8 data bits");
  if (state.parity) add("parity on");
  if (state.twoStopBits) add("2 stop bits");
  if (state.xonXoff) add("XON/XOFF on");
  return text;
}

}  // namespace tavlink::sim
