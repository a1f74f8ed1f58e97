#include "transfer/event_loop_view.h"

#include <chrono>

#include "transfer/transfer_dialog.h"

namespace tavlink {
namespace {

class ConditionWait final : public EventWait {
 public:
  bool Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& changed,
            Clock::Duration period, const std::function<bool()>& ready) override {
    return changed.wait_for(lock, period, ready);
  }
};

}  // namespace

EventWait& RealEventWait() {
  static ConditionWait wait;
  return wait;
}

EventLoopView::EventLoopView() : EventLoopView(SystemClock(), RealEventWait()) {}

EventLoopView::EventLoopView(Clock& clock, EventWait& wait, Clock::Duration idlePeriod)
    : clock_(clock), wait_(wait), idlePeriod_(idlePeriod) {}

void EventLoopView::RunModal(TransferDialog& dialog) {
  {
    std::lock_guard lock(mutex_);
    uiThread_ = std::this_thread::get_id();
    dialog_ = &dialog;
    ended_ = false;
  }
  dialog.OnInitDialog();
  while (!Ended()) RunOneEvent({});
  std::lock_guard lock(mutex_);
  uiThread_ = {};
  // Events posted after the end (none, when the worker has finished) are dropped.
  queue_.clear();
}

bool EventLoopView::Ended() {
  std::lock_guard lock(mutex_);
  return ended_;
}

bool EventLoopView::RunOneEvent(const std::function<bool()>& stopFirst) {
  {
    std::unique_lock lock(mutex_);
    if (ended_) return false;
    if (!wait_.Wait(lock, changed_, idlePeriod_, [this] { return !queue_.empty() || ended_; })) {
      lock.unlock();
      lastIdle_ = clock_.Now();
      OnIdle();
      return false;
    }
    if (ended_) return false;
  }
  // A steady stream of events must not keep the front end's own checks
  // (its input, its clocks) from running.
  if (const Clock::TimePoint now = clock_.Now(); now - lastIdle_ >= idlePeriod_) {
    lastIdle_ = now;
    OnIdle();
  }
  // Whoever waits in PumpUntil may be satisfied by now; the event then
  // stays queued for the loop that comes next.
  if (stopFirst && stopFirst()) return false;
  std::function<void()> task;
  {
    std::lock_guard lock(mutex_);
    // The idle check may have ended the dialog: nothing more runs then.
    if (ended_ || queue_.empty()) return false;
    task = std::move(queue_.front());
    queue_.pop_front();
  }
  task();
  return true;
}

bool EventLoopView::PumpUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (Ended()) return false;
    RunOneEvent(done);
  }
  return true;
}

void EventLoopView::EndDialog() {
  std::lock_guard lock(mutex_);
  ended_ = true;
  changed_.notify_all();
}

void EventLoopView::Sync(const std::function<void()>& task) {
  std::unique_lock lock(mutex_);
  if (uiThread_ == std::thread::id{} || uiThread_ == std::this_thread::get_id()) {
    lock.unlock();
    task();
    return;
  }
  bool done = false;
  queue_.push_back([&] {
    task();
    std::lock_guard doneLock(mutex_);
    done = true;
    changed_.notify_all();
  });
  changed_.notify_all();
  changed_.wait(lock, [&] { return done || ended_; });
}

void EventLoopView::Post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(task));
  changed_.notify_all();
}

void EventLoopView::SetTitle(std::string_view title) {
  Sync([&] { OnTitle(title); });
}
void EventLoopView::SetStatusText(std::string_view text) {
  Sync([&] { OnStatus(text); });
}
void EventLoopView::SetProgressRange(int upper) {
  Sync([&] { OnProgressRange(upper); });
}
void EventLoopView::SetProgressPos(int position) {
  Sync([&] { OnProgressPos(position); });
}

BoxAnswer EventLoopView::ShowMessage(std::string_view text, std::string_view caption,
                                     BoxButtons buttons) {
  BoxAnswer answer = BoxAnswer::kOk;
  Sync([&] { answer = OnMessage(text, caption, buttons); });
  return answer;
}

void EventLoopView::PostTransferDone(int lParam) {
  Post([this, lParam] { dialog_->OnTransferDone(lParam); });
}

void EventLoopView::PostClose() {
  Post([this] { dialog_->OnCancel(); });
}

void EventLoopView::PostCancel() {
  Post([this] { dialog_->OnCancel(); });
}

}  // namespace tavlink
