#include "link/clock.h"

#include <thread>

namespace tavlink {
namespace {

class SteadyClock final : public Clock {
 public:
  void SleepFor(Duration d) override { std::this_thread::sleep_for(d); }
  TimePoint Now() override { return std::chrono::steady_clock::now(); }
};

}  // namespace

Clock& SystemClock() {
  static SteadyClock clock;
  return clock;
}

}  // namespace tavlink
