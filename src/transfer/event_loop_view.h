#pragma once
// A TransferView with its own small event loop, for front ends without a
// window toolkit (the command line) and for tests. The thread that calls
// RunModal is the session's user-interface thread: posted events and the
// worker's synchronous requests run there, one at a time, in order.
//
// Subclasses say how each request is shown by overriding the On* hooks,
// which always run on the user-interface thread.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "transfer/transfer_view.h"

namespace tavlink {

class EventLoopView : public TransferView {
 public:
  EventLoopView() = default;
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
  // Called on the user-interface thread when no event came for a while
  // (about 50 ms), and at least that often while events keep coming, so a
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

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> queue_;
  std::thread::id uiThread_;
  std::chrono::steady_clock::time_point lastIdle_;
  TransferDialog* dialog_ = nullptr;
  bool ended_ = false;
};

}  // namespace tavlink
