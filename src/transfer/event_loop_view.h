#pragma once
// A TransferView with its own small event loop, for front ends without a
// window toolkit (the command line) and for tests. The thread that calls
// RunModal is the session's user-interface thread: posted events and the
// worker's synchronous requests run there, one at a time, in order.
//
// Subclasses say how each request is shown by overriding the On* hooks,
// which always run on the user-interface thread.
//
// The loop keeps its idle periods on a clock and waits for its next event
// through an EventWait: the real ones by default; a test gives a virtual
// clock with a wait that passes the periods in step with it.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "link/clock.h"
#include "transfer/transfer_view.h"

namespace tavlink {

// How an event loop waits for its next event. Wait is called with `lock`
// held and returns with it held; it waits until `ready()` (which reads what
// `lock` guards) or until `period` has passed on the loop's clock, and
// returns ready(). Other threads notify `changed`, with or without the
// lock, after they changed what ready() reads. Thread-safe.
class EventWait {
 public:
  virtual ~EventWait() = default;
  virtual bool Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& changed,
                    Clock::Duration period, const std::function<bool()>& ready) = 0;
};

// The condition variable's own wait, in real time (SystemClock's time).
EventWait& RealEventWait();

class EventLoopView : public TransferView {
 public:
  // The real clock and wait.
  EventLoopView();
  // How long the loop waits for an event before it runs OnIdle, unless
  // the front end says otherwise.
  static constexpr std::chrono::milliseconds kDefaultIdlePeriod{50};

  // `clock` and `wait` must outlive the view, and tell the same time.
  // `idlePeriod` is how often OnIdle runs at least: how soon the front
  // end sees its own input; each period wakes the loop's thread.
  EventLoopView(Clock& clock, EventWait& wait, Clock::Duration idlePeriod = kDefaultIdlePeriod);
  EventLoopView(const EventLoopView&) = delete;
  EventLoopView& operator=(const EventLoopView&) = delete;

  void RunModal(TransferDialog& dialog) override;
  void EndDialog() override;
  void SetTitle(std::string_view title) override;
  void SetStatusText(std::string_view text) override;
  void SetProgressRange(int upper) override;
  void SetProgressPos(int position) override;
  BoxAnswer ShowMessage(std::string_view text, std::string_view caption,
                        BoxButtons buttons) override;
  void PostTransferDone(int lParam) override;
  void PostClose() override;

  // The Cancel command (the user's Ctrl-C, a test), from any thread.
  void PostCancel();

 protected:
  virtual void OnTitle(std::string_view) {}
  virtual void OnStatus(std::string_view) {}
  virtual void OnProgressRange(int) {}
  virtual void OnProgressPos(int) {}
  virtual BoxAnswer OnMessage(std::string_view text, std::string_view caption,
                              BoxButtons buttons) = 0;
  // Called on the user-interface thread when no event came for one idle
  // period, and at least that often while events keep coming, so a
  // front end can look for its own input and its clocks.
  virtual void OnIdle() {}

  // The dialog being run; valid inside the hooks.
  TransferDialog* Dialog() const { return dialog_; }

  // For a hook that waits for the user (a question): carries on with the
  // session's events on the user-interface thread, as a modal box's own
  // loop does, until `done()` is true or the dialog has ended. The worker
  // is never held up while the user thinks. Returns false when the dialog
  // ended first. OnIdle runs between events as in the main loop.
  bool PumpUntil(const std::function<bool()>& done);

  // Runs `task` on the user-interface thread and waits for it, after every
  // event posted before; at once when already there or when no modal run is
  // under way.
  void Sync(const std::function<void()>& task);

 private:
  // Runs the next event, waiting up to one idle period; false when there
  // was none (OnIdle has then run), the dialog ended, or `stopFirst` (if
  // given) was true once an event had come, which is then left queued.
  bool RunOneEvent(const std::function<bool()>& stopFirst);
  bool Ended();
  void Post(std::function<void()> task);

  Clock& clock_;
  EventWait& wait_;
  const Clock::Duration idlePeriod_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> queue_;
  std::thread::id uiThread_;
  Clock::TimePoint lastIdle_;
  TransferDialog* dialog_ = nullptr;
  bool ended_ = false;
};

}  // namespace tavlink
