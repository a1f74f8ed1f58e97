#pragma once
// Everything the command line sets: how many receivers, each one's identity
// and data, its timing, and the faults it should show.

#include <cstddef>
#include <map>
#include <string>

#include "sim/frame_channel.h"

namespace tavlink::sim {

// Receivers one process serves at most.
inline constexpr int kMaxReceivers = 64;

// Replaced by the receiver's number (1, 2, ...) in --rom-out and --link.
inline constexpr char kNumberPlaceholder[] = "{n}";

struct SimOptions {
  std::string model = "ZOR DSR-9600 Satellite Receiver";
  std::string hardware = "HW 2.1";
  std::string software = "SW 1.06.03";
  std::string userDataPath;            // empty: the sample factory data
  std::string romOutPath;              // where a received upgrade image goes; empty: nowhere
  std::string linkPath;                // symbolic link to the device; empty: none
  size_t payloadSize = 2048;           // user data bytes per frame
  double readyDelaySeconds = 0.5;      // 0: answer FC_READY alone
  bool log = false;                    // trace every frame on standard error
  int count = 1;                       // receivers, each on its own pseudo-terminal
  LineFaults faults;                   // every receiver's faults...
  std::map<int, LineFaults> faultsOf;  // ...except those of the receivers listed here (from 1)
};

// The options of receiver `number` (1..count): its own faults, and the
// placeholder in romOutPath and linkPath replaced by its number.
SimOptions OptionsForReceiver(const SimOptions& options, int number);

// `text` with every kNumberPlaceholder replaced by `number`.
std::string WithNumber(const std::string& text, int number);

}  // namespace tavlink::sim
