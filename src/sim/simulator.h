#pragma once
// The receiver's main loop: waits for a request on the line, runs its
// operation, and goes back to waiting, until the channel's stop is requested.

#include "sim/session.h"

namespace tavlink::sim {

class Simulator {
 public:
  // All three must outlive the simulator.
  Simulator(FrameChannel& line, ReceiverState& state, const SimOptions& options);
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Serves requests until stopped. Runs on one thread; the stop may be
  // requested from any thread or a signal handler.
  void Run();

 private:
  Step Serve(int requestCode);

  Session session_;
};

}  // namespace tavlink::sim
