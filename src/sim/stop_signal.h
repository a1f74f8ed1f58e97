#pragma once
// A stop request shared by every receiver of the process: a flag that any
// thread or a signal handler may set, and a descriptor that becomes readable
// once it is set, so a wait on the line can include it and sleep without a
// time-out until either the PC or the stop wakes it.

#include <atomic>

#include "sim/unique_fd.h"

namespace tavlink::sim {

class StopSignal {
 public:
  // Without an event descriptor (the system refused one) `fd()` is -1 and
  // waits must fall back to short slices.
  StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  // Sets the flag and wakes every waiter. Async-signal-safe; may be called
  // any number of times from any thread.
  void Request();

  bool requested() const { return requested_.load(); }

  // Readable from the first Request() on (never read, so it stays readable
  // for every waiter); -1 when unavailable.
  int fd() const { return event_.get(); }

 private:
  std::atomic<bool> requested_{false};
  UniqueFd event_;
};

static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace tavlink::sim
