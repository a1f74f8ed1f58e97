#pragma once
// The clock seam: every pause and every poll interval of the link and the
// transfers goes through a Clock, so that tests can run them in virtual time.

#include <chrono>

namespace tavlink {

class Clock {
 public:
  using Duration = std::chrono::milliseconds;
  using TimePoint = std::chrono::steady_clock::time_point;

  virtual ~Clock() = default;

  // Blocks the calling thread for `d` (a virtual clock just advances).
  // Thread-safe.
  virtual void SleepFor(Duration d) = 0;

  // Monotonic time. Thread-safe.
  virtual TimePoint Now() = 0;
};

// The real monotonic clock; one process-wide instance.
Clock& SystemClock();

}  // namespace tavlink
