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
// waits for its event to be handled. A thread that has not used the clock
// yet does not count, so whoever starts one that will (a session's worker)
// holds time for it until it has (Hold, Release). Should a thread wait
// elsewhere for long (a join on a thread that sleeps on this clock), time
// steps on after a second of real time with nobody moving, rather than hang
// the test.
//
//   SteppedClock clock;
//   ConsoleView view(env with clock as its clock and event wait, ...);
//
// Thread-safe.

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
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
    const auto at = s.Block(wake, {});
    while (s.now < wake) {
      if (s.wakeup.wait_for(lock, kRealSlice * 10) == std::cv_status::timeout) s.StepIfWaiting();
    }
    s.Unblock(at);
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
      std::multimap<TimePoint, State::Loop>::iterator at;
      {
        std::lock_guard mine(s.mutex);
        if (s.now >= deadline) return false;
        at = s.Block(deadline, {std::this_thread::get_id(), &changed, lock.mutex(), &ready});
        if (s.now >= deadline) {
          s.Unblock(at);
          return ready();
        }
      }
      // Woken by an event, or by the step that reached the deadline; the
      // slice covers a step that came before the wait began.
      if (changed.wait_for(lock, kRealSlice) == std::cv_status::timeout) {
        std::lock_guard mine(s.mutex);
        s.StepIfWaiting();
      }
      std::lock_guard mine(s.mutex);
      s.Unblock(at);
    }
  }

  // Time stands from Hold until as many Release calls: for a thread about
  // to start that will take part, until it has (TakePart, then Release).
  void Hold() {
    std::lock_guard lock(state_->mutex);
    ++state_->holds;
  }
  void Release() {
    std::lock_guard lock(state_->mutex);
    --state_->holds;
    state_->StepIfAllWait();
  }
  // The calling thread takes part from now on.
  void TakePart() { Join(); }

  // The virtual time since the clock was made, for a thread that watches:
  // asking does not make it take part.
  Duration Elapsed() {
    std::lock_guard lock(state_->mutex);
    return std::chrono::duration_cast<Duration>(state_->now - TimePoint{});
  }

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
    int holds = 0;    // threads yet to take part, held for
    // An event loop waiting in Wait: its thread, and what tells it of an
    // event.
    struct Loop {
      std::thread::id thread;
      std::condition_variable* changed = nullptr;
      std::mutex* mutex = nullptr;
      const std::function<bool()>* ready = nullptr;
    };
    std::multimap<TimePoint, Loop> deadlines;  // a sleeper's Loop is empty
    RealClock::time_point lastMove = RealClock::now();

    // With the mutex held.
    std::multimap<TimePoint, Loop>::iterator Block(TimePoint deadline, Loop loop) {
      ++waiting;
      const auto at = deadlines.emplace(deadline, loop);
      lastMove = RealClock::now();
      StepIfAllWait();
      return at;
    }
    void Unblock(std::multimap<TimePoint, Loop>::iterator at) {
      --waiting;
      deadlines.erase(at);
      lastMove = RealClock::now();
    }
    void Leave() {
      std::lock_guard lock(mutex);
      --members;
      StepIfAllWait();
    }
    // A deadline that was reached stays until its thread has run: time
    // never passes a wake-up that has not been acted on. Nor does it move
    // while a waiting loop has an event it has not taken yet (its lock is
    // held, or its queue is not empty); the waiters look again shortly.
    void StepIfAllWait() {
      if (waiting < members || holds > 0 || deadlines.empty()) return;
      for (const auto& [deadline, loop] : deadlines) {
        if (loop.mutex == nullptr) continue;
        if (loop.thread == std::this_thread::get_id()) {  // which holds its lock
          if ((*loop.ready)()) return;
          continue;
        }
        if (!loop.mutex->try_lock()) return;
        const bool ready = (*loop.ready)();
        loop.mutex->unlock();
        if (ready) return;
      }
      Step();
    }
    void StepIfWaiting() {
      StepIfAllWait();
      if (RealClock::now() - lastMove >= kStallLimit && !deadlines.empty()) Step();
    }
    void Step() {
      const TimePoint next = deadlines.begin()->first;
      if (next <= now) return;
      now = next;
      lastMove = RealClock::now();
      wakeup.notify_all();
      for (const auto& [deadline, loop] : deadlines)
        if (loop.changed != nullptr) loop.changed->notify_all();
    }
  };

  // The clocks the calling thread takes part in; it leaves each that is
  // still there when it ends. Kept behind a thread key with a destructor
  // rather than in a thread_local object, whose destructor mingw-w64 runs
  // after the thread's storage is gone.
  struct Memberships {
    std::vector<std::weak_ptr<State>> states;
    ~Memberships() {
      for (const std::weak_ptr<State>& weak : states)
        if (const std::shared_ptr<State> state = weak.lock()) state->Leave();
    }
  };
  static Memberships& ThisThread() {
    static const pthread_key_t key = [] {
      pthread_key_t made;
      pthread_key_create(&made, [](void* memberships) {
        const std::unique_ptr<Memberships> ending(static_cast<Memberships*>(memberships));
      });
      return made;
    }();
    auto* memberships = static_cast<Memberships*>(pthread_getspecific(key));
    if (memberships == nullptr) {
      memberships = std::make_unique<Memberships>().release();  // the key's from now on
      pthread_setspecific(key, memberships);
    }
    return *memberships;
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
