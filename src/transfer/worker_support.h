#pragma once
// Small helpers shared by the six worker procedures.

#include <cstdint>
#include <cstdio>
#include <string>

#include "link/frame.h"
#include "transfer/transfer_dialog.h"

namespace tavlink::worker {

// A check point: when the user asked to stop, takes the stop ending and
// returns true, so that the worker returns at once.
inline bool StopRequested(TransferDialog& dialog) {
  if (!dialog.CancelRequested()) return false;
  dialog.StopEnding();
  return true;
}

// True when the receiver merely said nothing: a receive that timed out on
// a line whose device is still there. Once the device has gone every
// receive fails at once, and asking again or waiting longer cannot bring
// an answer.
inline bool ReceiverSilent(TransferDialog& dialog, int received) {
  return received == RX_TIMEOUT && !dialog.Port().DeviceGone();
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

}  // namespace tavlink::worker
