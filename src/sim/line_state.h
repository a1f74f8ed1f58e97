#pragma once
// The serial settings the PC has put on its end of the line, and the check
// of those settings against what the receiver talks at.

#include <cstdint>
#include <string>

namespace tavlink::sim {

struct LineState {
  uint32_t baud = 0;  // 0 when the speed is not one of the standard rates
  bool cs8 = false;
  bool parity = false;       // PARENB
  bool twoStopBits = false;  // CSTOPB
  bool xonXoff = false;      // IXON or IXOFF
};

// Empty when `state` is `expectedBaud` (or `alsoAccepted`, when not 0), 8
// data bits, no parity, one stop bit and no XON/XOFF; otherwise one line
// naming every difference, for example "speed 9600 (expected 19200), parity on".
std::string DescribeMismatch(const LineState& state, uint32_t expectedBaud,
                             uint32_t alsoAccepted = 0);

}  // namespace tavlink::sim
