// The About box.
#include "app_win32/win32_about_dialog.h"

#include "app/about_texts.h"
#include "app_win32/resource_ids.h"
#include "win32_widgets/win32_message_box.h"

namespace tavlink::app {
namespace {

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;  // the focus goes to OK, the first tab stop
    case WM_DRAWITEM:
      return TRUE;  // the strip draws nothing
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_HIDDEN_STRIP:
          ShowBox(window, kHiddenStripMessage, {}, BoxButtons::kOk);
          return TRUE;
        case IDOK:
        case IDCANCEL:
          ::EndDialog(window, LOWORD(wParam));
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

void RunAboutDialog(HWND owner) {
  ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, &AboutProc,
                    0);
}

}  // namespace tavlink::app
