#pragma once
// The MODE syntax of a serial line, as Windows' BuildCommDCB accepts it:
// the short form "96,n,8,1" (baud[,parity[,data[,stop[,retry]]]]) and the
// keyword form "baud=96 parity=n data=8 stop=1" with optional xon, odsr,
// octs, dtr, rts, idsr and to. Two-digit rates are the old abbreviations
// (11 for 110, 15, 30, 60, 12, 24, 48, 96 and 19 for 19200).

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavlink {

struct ModeSettings {
  uint32_t baudRate = 0;
  char parity = 'n';    // n, e, o, m or s
  int dataBits = 8;     // 5 to 8
  double stopBits = 1;  // 1, 1.5 or 2
};

// The settings `mode` describes, or nothing when the string is refused.
std::optional<ModeSettings> ParseModeString(std::string_view mode);

}  // namespace tavlink
