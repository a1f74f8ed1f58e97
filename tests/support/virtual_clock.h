#pragma once
// A clock whose time moves only when someone sleeps on it, so tests run the
// protocol's pauses and time-outs at once. Thread-safe.

#include <atomic>
#include <chrono>

#include "link/clock.h"

namespace tavlink::testing {

class VirtualClock final : public Clock {
 public:
  void SleepFor(Duration d) override { elapsedMs_ += d.count(); }
  TimePoint Now() override { return TimePoint{} + std::chrono::milliseconds(elapsedMs_.load()); }
  long long ElapsedMs() const { return elapsedMs_.load(); }

 private:
  std::atomic<long long> elapsedMs_{0};
};

}  // namespace tavlink::testing
