#pragma once
// The window seam of a transfer session: everything the session logic needs
// of its progress window. The desktop window, the command line and the tests
// each implement it; the logic itself knows no toolkit.
//
// Threading: SetTitle, EndDialog and RunModal are called on the user-interface
// thread. SetStatusText, SetProgressRange, SetProgressPos and ShowMessage may
// also be called from the worker thread: there they must block until the
// user-interface thread has carried them out (a synchronous send).
// PostTransferDone and PostClose queue an event and return at once; queued
// events are delivered on the user-interface thread in the order posted.

#include <string_view>

namespace tavlink {

class TransferDialog;

enum class BoxButtons { kOk, kOkCancel, kYesNo };
enum class BoxAnswer { kOk, kCancel, kYes, kNo };

class TransferView {
 public:
  virtual ~TransferView() = default;

  // Runs the window modally for `dialog`: once the window exists (before it
  // is shown) call dialog.OnInitDialog(); turn the Cancel button, Esc and a
  // posted close into dialog.OnCancel(); turn a posted TransferDone into
  // dialog.OnTransferDone(lParam). Returns after EndDialog.
  virtual void RunModal(TransferDialog& dialog) = 0;

  // Ends the modal run (called by the dialog on the user-interface thread).
  virtual void EndDialog() = 0;

  virtual void SetTitle(std::string_view title) = 0;
  virtual void SetStatusText(std::string_view text) = 0;
  virtual void SetProgressRange(int upper) = 0;  // range 0 .. upper
  virtual void SetProgressPos(int position) = 0;

  // A modal message box; returns when dismissed. An empty `caption` asks
  // for an application box: the executable's name as caption and, with
  // these buttons, the exclamation icon.
  virtual BoxAnswer ShowMessage(std::string_view text, std::string_view caption,
                                BoxButtons buttons) = 0;

  virtual void PostTransferDone(int lParam) = 0;
  virtual void PostClose() = 0;
};

}  // namespace tavlink
