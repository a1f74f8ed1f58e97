#pragma once
// The simulator's command line.

#include "sim/sim_options.h"

namespace tavlink::sim {

// Fills `*options` from the arguments. Returns -1 when the simulator should
// run, otherwise the exit status to end with (0 after --help; non-zero after
// a usage error, which has been printed).
int ParseCommandLine(int argc, const char* const* argv, SimOptions* options);

}  // namespace tavlink::sim
