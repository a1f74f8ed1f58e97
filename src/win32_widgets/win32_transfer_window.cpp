// The transfer session's progress window on Win32.
#include "win32_widgets/win32_transfer_window.h"

#include <commctrl.h>

#include <string>

#include "transfer/transfer_dialog.h"
#include "win32_widgets/widget_ids.h"
#include "win32_widgets/win32_message_box.h"
#include "win32_widgets/win32_ui_thread.h"

namespace tavlink::app {

static_assert(TransferDone == 1124);

void Win32TransferWindow::RunModal(TransferDialog& dialog) {
  dialog_ = &dialog;
  endRequested_ = false;
  ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TRANSFER), owner_,
                    &Win32TransferWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  dialog_ = nullptr;
}

INT_PTR CALLBACK Win32TransferWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<Win32TransferWindow*>(lParam)->window_ = window;
  }
  auto* self = reinterpret_cast<Win32TransferWindow*>(::GetWindowLongPtrA(window, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32TransferWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      // Opens the port and starts the worker, or reports and posts a close.
      dialog_->OnInitDialog();
      return TRUE;  // the focus goes to Cancel, the only tab stop
    case WM_COMMAND:
      // The Cancel button, Esc, and WM_CLOSE by the default processing.
      // Enter reaches Cancel only while it has the focus; an IDOK from
      // nowhere must not end a running session.
      if (LOWORD(wParam) == IDCANCEL && dialog_ != nullptr) dialog_->OnCancel();
      return TRUE;
    case TransferDone:
      if (wParam == 1 && dialog_ != nullptr) dialog_->OnTransferDone(static_cast<int>(lParam));
      return TRUE;
    case kRunOnWindowThread:
      HandleRunOnWindowThread(lParam);
      return TRUE;
    default:
      return FALSE;
  }
}

void Win32TransferWindow::EndDialog() {
  endRequested_ = true;
  EndWhenIdle();
}

void Win32TransferWindow::EndWhenIdle() {
  if (endRequested_ && window_ != nullptr && openBoxes_ == 0) ::EndDialog(window_, IDCANCEL);
}

void Win32TransferWindow::SetTitle(std::string_view title) {
  ::SetWindowTextA(window_, std::string(title).c_str());
}

void Win32TransferWindow::SetStatusText(std::string_view text) {
  // From the worker a synchronous send: it returns once the line shows it.
  ::SetDlgItemTextA(window_, IDC_STATUS, std::string(text).c_str());
}

void Win32TransferWindow::SetProgressRange(int upper) {
  ::SendDlgItemMessageA(window_, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, upper));
}

void Win32TransferWindow::SetProgressPos(int position) {
  ::SendDlgItemMessageA(window_, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void Win32TransferWindow::WithBox(const std::function<void()>& show) {
  RunOnWindowThread(window_, [&] {
    ++openBoxes_;
    show();
    --openBoxes_;
    EndWhenIdle();
  });
}

BoxAnswer Win32TransferWindow::ShowMessage(std::string_view text, std::string_view caption,
                                           BoxButtons buttons) {
  BoxAnswer answer = BoxAnswer::kCancel;
  WithBox([&] { answer = ShowBox(window_, text, caption, buttons); });
  return answer;
}

void Win32TransferWindow::ShowError(std::string_view caption, std::string_view text) {
  WithBox([&] { ShowInformationBox(window_, caption, text); });
}

void Win32TransferWindow::PostTransferDone(int lParam) {
  ::PostMessageA(window_, TransferDone, 1, lParam);
}

void Win32TransferWindow::PostClose() {
  ::PostMessageA(window_, WM_CLOSE, 0, 0);
}

}  // namespace tavlink::app
