#pragma once
// Everything the command line sets: the receiver's identity and data, its
// timing, and the faults it should show.

#include <cstddef>
#include <string>

#include "sim/frame_channel.h"

namespace tavlink::sim {

struct SimOptions {
  std::string model = "ZOR DSR-9600 Satellite Receiver";
  std::string hardware = "HW 2.1";
  std::string software = "SW 1.06.03";
  std::string userDataPath;        // empty: the sample factory data
  std::string romOutPath;          // where a received upgrade image goes; empty: nowhere
  std::string linkPath;            // symbolic link to the device; empty: none
  size_t payloadSize = 2048;       // user data bytes per frame
  double readyDelaySeconds = 0.5;  // 0: answer FC_READY alone
  bool log = false;                // trace every frame on standard error
  LineFaults faults;
};

}  // namespace tavlink::sim
