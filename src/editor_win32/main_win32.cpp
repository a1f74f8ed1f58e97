// tavlink-editor.exe: the ZOR Link channel editor on Windows.
#include <windows.h>
// The common controls' header needs windows.h first.
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/start_options.h"
#include "editor/editor_start.h"
#include "editor_win32/win32_editor_app.h"
#include "settings/setting_store.h"
#include "version/version.h"
#include "win32_widgets/win32_text.h"

namespace {

// The command line as the process's code page (UTF-8) takes it.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(tavlink::app::Narrow(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

// --help and --version print to the console the program was started from.
void Print(const std::string& text) {
  if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
                &written, nullptr);
  } else {
    std::fputs(text.c_str(), stdout);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::vector<std::string> arguments = Arguments();
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  const int argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
  using tavlink::app::StartAction;
  switch (tavlink::app::ChooseStartAction(argc, argv.data())) {
    case StartAction::kPrintHelp:
      Print(tavlink::editor::EditorHelpText(tavlink::SettingStoreLocation()));
      return 0;
    case StartAction::kPrintVersion:
      Print(tavlink::ProgramVersionLine("tavlink-editor") + "\n");
      return 0;
    case StartAction::kRun:
      break;
  }
  // The list view, tree view, status bar and progress bar classes, and the
  // visual styles the manifest asks for.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                     ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  std::shared_ptr<tavlink::SettingStore> store = tavlink::MakeSettingStore();
  tavlink::editor::EditorWindows windows(store, tavlink::ListSerialDevices);
  // One window per file named, or one untitled window.
  std::vector<std::string> files = tavlink::editor::FilesToOpen(argc, argv.data());
  if (files.empty()) files.emplace_back();
  for (const std::string& file : files) {
    tavlink::editor::Win32EditorWindow& window = windows.Open();
    if (!file.empty()) window.Logic().OpenPath(file);
  }
  windows.Run();
  return 0;
}
