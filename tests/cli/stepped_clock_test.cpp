// The stepped clock the command line's tests run on: time moves only when
// every thread that takes part waits, to the earliest wake-up.

#include "support/stepped_clock.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace tavlink::testing {
namespace {

using namespace std::chrono_literals;

// Two sleepers wake in the order of their wake-ups, each at its own time.
TEST(SteppedClock, SleepersWakeInTheOrderOfTheirTimes) {
  SteppedClock clock;
  std::mutex mutex;
  std::string order;
  // Each thread is held for until it takes part: without that, the first
  // to start would sleep its three times before the other one counted.
  clock.Hold();
  clock.Hold();
  auto sleeper = [&](Clock::Duration step, char name) {
    clock.TakePart();
    clock.Release();
    for (int i = 0; i < 3; ++i) {
      clock.SleepFor(step);
      std::lock_guard lock(mutex);
      order += name;
      order += std::to_string(clock.Elapsed().count() / 100);
    }
  };
  std::thread slow(sleeper, 300ms, 's');
  std::thread quick(sleeper, 200ms, 'q');
  slow.join();
  quick.join();
  // 200 (q), 300 (s), 400 (q), 600 (s and q, either first), 900 (s).
  EXPECT_TRUE(order == "q2s3q4s6q6s9" || order == "q2s3q4q6s6s9") << order;
}

// An event loop's wait ends with its period of virtual time, while a
// worker sleeps longer; an event ends it at once, without time passing.
TEST(SteppedClock, LoopWaitsItsPeriodOrUntilAnEvent) {
  SteppedClock clock;
  std::mutex mutex;
  std::condition_variable changed;
  bool event = false;
  clock.TakePart();  // the loop, before the worker can sleep
  clock.Hold();
  std::thread worker([&] {
    clock.TakePart();
    clock.Release();
    clock.SleepFor(120ms);
    std::lock_guard lock(mutex);
    event = true;
    changed.notify_all();
  });
  std::unique_lock lock(mutex);
  const auto ready = [&] { return event; };
  EXPECT_FALSE(clock.Wait(lock, changed, 50ms, ready));
  EXPECT_EQ(clock.Elapsed(), 50ms);
  EXPECT_FALSE(clock.Wait(lock, changed, 50ms, ready));
  EXPECT_EQ(clock.Elapsed(), 100ms);
  EXPECT_TRUE(clock.Wait(lock, changed, 50ms, ready));
  EXPECT_EQ(clock.Elapsed(), 120ms);
  lock.unlock();
  worker.join();
}

// Time stands while a thread that takes part runs, and while one is held
// for; it moves once they wait or have gone.
TEST(SteppedClock, TimeStandsForRunningAndHeldThreads) {
  SteppedClock clock;
  std::mutex mutex;
  std::condition_variable go;
  bool release = false;
  clock.Hold();
  std::thread busy([&] {
    clock.TakePart();
    clock.Release();
    std::unique_lock lock(mutex);
    go.wait(lock, [&] { return release; });  // busy, as far as the clock knows
  });
  std::thread sleeper([&] { clock.SleepFor(1s); });
  std::this_thread::sleep_for(50ms);  // real time, for the threads to get there
  EXPECT_EQ(clock.Elapsed(), 0ms);
  {
    std::lock_guard lock(mutex);
    release = true;
    go.notify_all();
  }
  busy.join();  // gone: only the sleeper takes part now
  sleeper.join();
  EXPECT_EQ(clock.Elapsed(), 1s);
}

}  // namespace
}  // namespace tavlink::testing
