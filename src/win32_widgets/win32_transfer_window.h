#pragma once
// The progress window of a transfer session on Win32 (dialog 132): status
// line 1014, progress bar 1013 and Cancel button 2, without a close box.
// The Cancel button, Esc and a posted WM_CLOSE reach the session as
// OnCancel; a posted TransferDone (message 1124, wParam 1) as
// OnTransferDone(lParam). It is also the error reporter of the session's
// serial port, whose boxes it owns.
//
// Threading: constructed, run and destroyed on the user-interface thread.
// The worker's SetStatusText, SetProgressRange and SetProgressPos are
// synchronous sends to the dialog's controls; its ShowMessage and
// ShowError run on the user-interface thread (RunOnWindowThread) and
// return when the box is dismissed; PostTransferDone and PostClose post.
// Destroy the session (which joins its worker) before this window.

#include <windows.h>

#include <atomic>
#include <functional>

#include "link/error_reporter.h"
#include "transfer/transfer_view.h"

namespace tavlink::app {

// The message a worker posts when its operation is done: the first private
// message number plus 100.
inline constexpr UINT TransferDone = WM_USER + 100;

class Win32TransferWindow final : public TransferView, public ErrorReporter {
 public:
  // `owner` (the main window, or nullptr) is disabled while the dialog runs.
  explicit Win32TransferWindow(HWND owner) : owner_(owner) {}
  Win32TransferWindow(const Win32TransferWindow&) = delete;
  Win32TransferWindow& operator=(const Win32TransferWindow&) = delete;

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

  void ShowError(std::string_view caption, std::string_view text) override;

  // The dialog window while it runs, else nullptr.
  HWND Window() const { return window_.load(); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Shows a box owned by the dialog on the user-interface thread.
  void WithBox(const std::function<void()>& show);
  // Ends the modal run once no box of ours is open: a close that arrives
  // while a result box is shown waits for the box.
  void EndWhenIdle();

  HWND owner_;
  // Written on the user-interface thread before the worker starts and after
  // it has posted its last message; read by the worker.
  std::atomic<HWND> window_{nullptr};
  TransferDialog* dialog_ = nullptr;  // set for the length of RunModal
  bool endRequested_ = false;
  int openBoxes_ = 0;  // boxes shown by this window, user-interface thread only
};

}  // namespace tavlink::app
