// The channel editor's dialogs on Win32.
#include "editor_win32/win32_editor_dialogs.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "editor/editor_texts.h"
#include "editor/service_columns.h"
#include "editor_win32/editor_ids.h"
#include "editor_win32/win32_gdi.h"
#include "editor_win32/win32_list_text.h"
#include "win32_widgets/win32_message_box.h"

namespace tavlink::editor {
namespace {

using Handler = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;

INT_PTR CALLBACK HandlerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* handler = reinterpret_cast<Handler*>(::GetWindowLongPtrW(window, DWLP_USER));
  return handler != nullptr ? (*handler)(window, message, wParam, lParam) : FALSE;
}

// Runs template `id` with `handler` as its dialog procedure; the end
// dialog's result.
INT_PTR RunDialog(HWND owner, int id, Handler handler) {
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, &HandlerProc,
                           reinterpret_cast<LPARAM>(&handler));
}

void SetItemText(HWND dialog, int id, std::string_view text) {
  ::SetDlgItemTextW(dialog, id, ListWide(text).c_str());
}

// A fixed-pitch font as tall as the dialog's own, for listings whose
// columns line up.
OwnedFont FixedFontLike(HWND dialog) {
  return FixedFont(reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0)));
}

// The listing of a preview or report: fixed pitch, or hidden when empty.
void ShowListing(HWND dialog, const std::string& listing, const OwnedFont& font) {
  const HWND control = ::GetDlgItem(dialog, IDC_EDITOR_LISTING);
  if (listing.empty()) {
    ::ShowWindow(control, SW_HIDE);
    return;
  }
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  ::SetWindowTextW(control, WithCrLf(listing).c_str());
}

// Makes `control` bold; the font must outlive it.
OwnedFont BoldFontOf(HWND control) {
  OwnedFont bold = BoldFont(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(bold.get()), FALSE);
  return bold;
}

}  // namespace

PreviewAnswer RunPreviewDialog(HWND owner, const WritePreview& preview) {
  PreviewAnswer answer{false, preview.verify};
  OwnedFont fixed, bold;
  RunDialog(owner, IDD_EDITOR_PREVIEW, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
      case WM_INITDIALOG:
        SetItemText(dialog, IDC_EDITOR_RECEIVER, preview.receiver + ":");
        SetItemText(dialog, IDC_EDITOR_SUMMARY, preview.summary);
        bold = BoldFontOf(::GetDlgItem(dialog, IDC_EDITOR_SUMMARY));
        fixed = FixedFontLike(dialog);
        ShowListing(dialog, preview.listing, fixed);
        ::CheckDlgButton(dialog, IDC_EDITOR_VERIFY, preview.verify ? BST_CHECKED : BST_UNCHECKED);
        ::SetFocus(::GetDlgItem(dialog, IDOK));
        return FALSE;  // the focus is on Write
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
          answer.write = LOWORD(wParam) == IDOK;
          answer.verify = ::IsDlgButtonChecked(dialog, IDC_EDITOR_VERIFY) == BST_CHECKED;
          ::EndDialog(dialog, LOWORD(wParam));
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  });
  return answer;
}

void RunReportDialog(HWND owner, const Report& report) {
  OwnedFont fixed;
  RunDialog(owner, IDD_EDITOR_REPORT, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
      case WM_INITDIALOG:
        ::SetWindowTextW(dialog, ListWide(report.title).c_str());
        SetItemText(dialog, IDC_EDITOR_SUMMARY, report.summary);
        fixed = FixedFontLike(dialog);
        ShowListing(dialog, report.listing, fixed);
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
          ::EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  });
}

std::optional<int> RunNumberDialog(HWND owner, std::string_view text, int value, int low,
                                   int high) {
  std::optional<int> chosen;
  RunDialog(owner, IDD_EDITOR_NUMBER, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
      case WM_INITDIALOG: {
        SetItemText(dialog, IDC_EDITOR_PROMPT, text);
        const HWND field = ::GetDlgItem(dialog, IDC_EDITOR_VALUE);
        ::SetWindowTextW(field, std::to_wstring(value).c_str());
        ::SetFocus(field);
        ::SendMessageW(field, EM_SETSEL, 0, -1);
        return FALSE;
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          const std::string typed = ListBytes(WideText(::GetDlgItem(dialog, IDC_EDITOR_VALUE)));
          const std::optional<long> number = ParseNumber(typed, high < 0 ? 0 : high);
          if (!number || *number < low) {
            app::ShowBox(dialog,
                         "Type a number from " + Grouped(low) + " to " + Grouped(high) + ".", {},
                         BoxButtons::kOk);
            return TRUE;
          }
          chosen = static_cast<int>(*number);
          ::EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          ::EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  });
  return chosen;
}

std::optional<int> RunChoiceDialog(HWND owner, std::string_view text,
                                   const std::vector<std::string>& items, int current) {
  std::optional<int> chosen;
  RunDialog(owner, IDD_EDITOR_CHOICE, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
      case WM_INITDIALOG: {
        SetItemText(dialog, IDC_EDITOR_PROMPT, text);
        const HWND box = ::GetDlgItem(dialog, IDC_EDITOR_VALUE);
        for (const std::string& item : items) {
          ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ListWide(item).c_str()));
        }
        ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(std::max(0, current)), 0);
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          const LRESULT index = ::SendDlgItemMessageW(dialog, IDC_EDITOR_VALUE, CB_GETCURSEL, 0, 0);
          if (index >= 0 && index < static_cast<LRESULT>(items.size()))
            chosen = static_cast<int>(index);
          ::EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          ::EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  });
  return chosen;
}

std::optional<std::vector<std::string>> RunRecordDialog(HWND owner, const RecordForm& form) {
  std::optional<std::vector<std::string>> texts;
  const int count = static_cast<int>(form.fields.size());
  auto inputId = [](int field) { return IDC_EDITOR_FIELD + 2 * field; };
  RunDialog(owner, IDD_EDITOR_RECORD, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
      case WM_INITDIALOG: {
        ::SetWindowTextW(dialog, ListWide(form.title).c_str());
        SetItemText(dialog, IDC_EDITOR_MESSAGE, form.message);
        // Rows in dialog units below the message (when there is one).
        RECT unit{0, 0, 4, 8};
        ::MapDialogRect(dialog, &unit);
        auto x = [&](int units) { return units * unit.right / 4; };
        auto y = [&](int units) { return units * unit.bottom / 8; };
        const auto font = ::SendMessageW(dialog, WM_GETFONT, 0, 0);
        int top = form.message.empty() ? 7 : 28;
        HWND after = ::GetDlgItem(dialog, IDC_EDITOR_MESSAGE);
        if (form.message.empty()) ::ShowWindow(after, SW_HIDE);
        for (int i = 0; i < count; ++i) {
          const FormField& field = form.fields[static_cast<size_t>(i)];
          const HWND label = ::CreateWindowExW(
              0, L"STATIC", ListWide(field.label + ":").c_str(),
              WS_CHILD | WS_VISIBLE | SS_NOPREFIX, x(7), y(top + 3), x(96), y(9), dialog,
              reinterpret_cast<HMENU>(static_cast<INT_PTR>(inputId(i) + 1)), nullptr, nullptr);
          HWND input = nullptr;
          if (field.choices.empty()) {
            input = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", ListWide(field.text).c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, x(106),
                                      y(top), x(147), y(13), dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(inputId(i))),
                                      nullptr, nullptr);
          } else {
            input = ::CreateWindowExW(
                0, L"COMBOBOX", L"",
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, x(106), y(top),
                x(147), y(120), dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(inputId(i))),
                nullptr, nullptr);
            int selected = 0;
            for (size_t c = 0; c < field.choices.size(); ++c) {
              ::SendMessageW(input, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(ListWide(field.choices[c]).c_str()));
              if (field.choices[c] == field.text) selected = static_cast<int>(c);
            }
            ::SendMessageW(input, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
          }
          for (HWND control : {label, input}) {
            ::SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
            // The Tab order follows the rows, before the buttons.
            ::SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = control;
          }
          top += 17;
        }
        // The buttons below the rows, the dialog around them.
        const int buttons = top + 6;
        ::SetWindowPos(::GetDlgItem(dialog, IDOK), nullptr, x(149), y(buttons), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
        ::SetWindowPos(::GetDlgItem(dialog, IDCANCEL), nullptr, x(203), y(buttons), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
        RECT frame{0, 0, x(260), y(buttons + 21)};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)),
                             FALSE, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
        ::SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOMOVE | SWP_NOZORDER);
        if (count > 0) {
          const HWND first = ::GetDlgItem(dialog, inputId(0));
          ::SetFocus(first);
          ::SendMessageW(first, EM_SETSEL, 0, -1);
          return FALSE;
        }
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          std::vector<std::string> read;
          for (int i = 0; i < count; ++i) {
            read.push_back(ListBytes(WideText(::GetDlgItem(dialog, inputId(i)))));
          }
          texts = std::move(read);
          ::EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          ::EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  });
  return texts;
}

}  // namespace tavlink::editor
