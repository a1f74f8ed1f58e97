#pragma once
// Virtual time for several threads at once: a session's worker, its event
// loop, a station's threads. A thread that uses the clock takes part in it
// until it ends; time stands while any of them runs, and once every one
// waits on the clock (asleep in SleepFor, or an event loop idle in Wait) it
// steps to the earliest wake-up among them, and that thread goes on. So a
// worker's 20-second time-out and the loop's idle periods interleave as
// they would in real time, in an instant and in the same order every run.
//
// A thread that waits elsewhere (on another thread's condition variable)
// counts as running, which is what keeps time from passing while a worker
// waits for its event to be handled. Should one wait elsewhere for long (a
// join on a thread that sleeps on this clock), time steps on after a second
// of real time with nobody moving, rather than hang the test.
//
//   SteppedClock clock;
//   ConsoleView view(env with clock as its clock and event wait, ...);
//
// Thread-safe.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "link/clock.h"
#include "transfer/event_loop_view.h"

namespace tavlink::testing {

class SteppedClock final : public Clock, public EventWait {
 public:
  SteppedClock() : state_(std::make_shared<State>()) {}
  SteppedClock(const SteppedClock&) = delete;
  SteppedClock& operator=(const SteppedClock&) = delete;

  void SleepFor(Duration d) override {
    Join();
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    const TimePoint wake = s.now + d;
    const auto at = s.Block(wake, nullptr);
    while (s.now < wake) {
      if (s.wakeup.wait_for(lock, kRealSlice * 10) == std::cv_status::timeout) s.StepIfStalled();
    }
    s.Unblock(at, nullptr);
  }

  TimePoint Now() override {
    Join();
    std::lock_guard lock(state_->mutex);
    return state_->now;
  }

  bool Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& changed,
            Clock::Duration period, const std::function<bool()>& ready) override {
    Join();
    State& s = *state_;
    TimePoint deadline;
    {
      std::lock_guard mine(s.mutex);
      deadline = s.now + period;
    }
    for (;;) {
      if (ready()) return true;
      std::multiset<TimePoint>::iterator at;
      {
        std::lock_guard mine(s.mutex);
        if (s.now >= deadline) return false;
        at = s.Block(deadline, &changed);
        if (s.now >= deadline) {
          s.Unblock(at, &changed);
          return ready();
        }
      }
      // Woken by an event, or by the step that reached the deadline; the
      // slice only covers a step that came before the wait began.
      if (changed.wait_for(lock, kRealSlice) == std::cv_status::timeout) {
        std::lock_guard mine(s.mutex);
        s.StepIfStalled();
      }
      std::lock_guard mine(s.mutex);
      s.Unblock(at, &changed);
    }
  }

  // The virtual time since the clock was made.
  Duration Elapsed() { return std::chrono::duration_cast<Duration>(Now() - TimePoint{}); }

 private:
  static constexpr auto kRealSlice = std::chrono::milliseconds(2);
  static constexpr auto kStallLimit = std::chrono::seconds(1);
  using RealClock = std::chrono::steady_clock;

  struct State {
    std::mutex mutex;
    std::condition_variable wakeup;  // sleepers in SleepFor
    TimePoint now{};
    int members = 0;  // threads taking part, alive
    int waiting = 0;  // of them, those waiting on the clock
    std::multiset<TimePoint> deadlines;
    std::vector<std::condition_variable*> loops;  // event loops waiting
    RealClock::time_point lastMove = RealClock::now();

    // With the mutex held.
    std::multiset<TimePoint>::iterator Block(TimePoint deadline, std::condition_variable* loop) {
      ++waiting;
      if (loop != nullptr) loops.push_back(loop);
      const auto at = deadlines.insert(deadline);
      lastMove = RealClock::now();
      StepIfAllWait();
      return at;
    }
    void Unblock(std::multiset<TimePoint>::iterator at, std::condition_variable* loop) {
      --waiting;
      deadlines.erase(at);
      if (loop != nullptr) loops.erase(std::find(loops.begin(), loops.end(), loop));
      lastMove = RealClock::now();
    }
    void Leave() {
      std::lock_guard lock(mutex);
      --members;
      StepIfAllWait();
    }
    // A deadline that was reached stays in the set until its thread has
    // run: time never passes a wake-up that has not been acted on.
    void StepIfAllWait() {
      if (waiting < members || deadlines.empty()) return;
      Step();
    }
    void StepIfStalled() {
      if (RealClock::now() - lastMove < kStallLimit || deadlines.empty()) return;
      Step();
    }
    void Step() {
      const TimePoint next = *deadlines.begin();
      if (next <= now) return;
      now = next;
      lastMove = RealClock::now();
      wakeup.notify_all();
      for (std::condition_variable* loop : loops) loop->notify_all();
    }
  };

  // The clocks the calling thread takes part in; it leaves each that is
  // still there when it ends.
  struct Memberships {
    std::vector<std::weak_ptr<State>> states;
    ~Memberships() {
      for (const std::weak_ptr<State>& weak : states)
        if (const std::shared_ptr<State> state = weak.lock()) state->Leave();
    }
  };
  static Memberships& ThisThread() {
    static thread_local Memberships memberships;
    return memberships;
  }

  void Join() {
    std::vector<std::weak_ptr<State>>& states = ThisThread().states;
    std::erase_if(states, [](const std::weak_ptr<State>& weak) { return weak.expired(); });
    for (const std::weak_ptr<State>& weak : states)
      if (weak.lock() == state_) return;
    states.push_back(state_);
    std::lock_guard lock(state_->mutex);
    ++state_->members;
  }

  std::shared_ptr<State> state_;
};

}  // namespace tavlink::testing
