// Starting the channel editor on Win32.
#include "app_win32/win32_editor_launch.h"

#include <string>

#include "app/editor_launch.h"
#include "win32_widgets/win32_message_box.h"
#include "win32_widgets/win32_text.h"

namespace tavlink::app {

bool StartChannelEditor(HWND owner) {
  std::wstring program(32768, L'\0');
  const DWORD length =
      ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
  program.resize(length < program.size() ? length : 0);
  // The folder and the file name joined in UTF-16, whatever the code page.
  const std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
  const std::wstring editor = folder + Widen(ChannelEditorFileName());
  const std::string path = Narrow(editor);
  // The command line's first word is the program, quoted for the blanks
  // of "Program Files"; CreateProcessW may write into it.
  std::wstring commandLine = L"\"" + editor + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (editor.empty() || !::CreateProcessW(editor.c_str(), commandLine.data(), nullptr, nullptr,
                                          FALSE, 0, nullptr, folder.c_str(), &startup, &process)) {
    ShowBox(owner, ChannelEditorNotStartedText(path), {}, BoxButtons::kOk);
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace tavlink::app
