#pragma once
// Small helpers shared by the six worker procedures.

#include <cstdint>
#include <cstdio>
#include <string>

#include "transfer/transfer_dialog.h"

namespace tavlink::worker {

// A check point: when the user asked to stop, takes the stop ending and
// returns true, so that the worker returns at once.
inline bool StopRequested(TransferDialog& dialog) {
  if (!dialog.CancelRequested()) return false;
  dialog.StopEnding();
  return true;
}

// "Downloading...   block 3/16   error 0", or with "err.count" after a retry.
inline std::string ProgressText(const char* verb, int block, int blockTotal, int errorCount,
                                bool retry) {
  char text[96];
  std::snprintf(text, sizeof text,
                retry ? "%s   block %d/%d   err.count %d" : "%s   block %d/%d   error %d", verb,
                block, blockTotal, errorCount);
  return text;
}

inline uint32_t BigEndian16(const uint8_t* p) {
  return (uint32_t{p[0]} << 8) | p[1];
}

inline uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

inline void PutBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

}  // namespace tavlink::worker
