// Application, file-error and device error boxes.
#include "win32_widgets/win32_message_box.h"

#include <filesystem>

namespace tavlink::app {

std::string ApplicationCaption() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "tavlink";
  return std::filesystem::path(path).stem().string();
}

BoxAnswer ShowBox(HWND owner, std::string_view text, std::string_view caption, BoxButtons buttons) {
  const bool application = caption.empty();
  UINT type = application ? MB_ICONEXCLAMATION : 0;
  switch (buttons) {
    case BoxButtons::kOk:
      type |= MB_OK;
      break;
    case BoxButtons::kOkCancel:
      type |= MB_OKCANCEL | MB_DEFBUTTON1;
      break;
    case BoxButtons::kYesNo:
      type |= MB_YESNO | MB_DEFBUTTON2;
      break;
  }
  const std::string body(text);
  const std::string title = application ? ApplicationCaption() : std::string(caption);
  switch (::MessageBoxA(owner, body.c_str(), title.c_str(), type)) {
    case IDOK:
      return BoxAnswer::kOk;
    case IDYES:
      return BoxAnswer::kYes;
    case IDNO:
      return BoxAnswer::kNo;
    default:  // Cancel, Esc, the close box, or a box that could not be shown
      return buttons == BoxButtons::kYesNo ? BoxAnswer::kNo
             : buttons == BoxButtons::kOk  ? BoxAnswer::kOk
                                           : BoxAnswer::kCancel;
  }
}

void ShowStopBox(HWND owner, std::string_view text) {
  const std::string body(text);
  ::MessageBoxA(owner, body.c_str(), ApplicationCaption().c_str(), MB_OK | MB_ICONHAND);
}

void ShowInformationBox(HWND owner, std::string_view caption, std::string_view text) {
  const std::string body(text), title(caption);
  ::MessageBoxA(owner, body.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace tavlink::app
