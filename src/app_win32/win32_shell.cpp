// LinkShell on Win32.
#include "app_win32/win32_shell.h"

#include <commdlg.h>

#include <vector>

#include "app_win32/win32_about_dialog.h"
#include "app_win32/win32_message_box.h"
#include "app_win32/win32_port_dialog.h"
#include "app_win32/win32_transfer_window.h"

namespace tavlink::app {

Win32Shell::Win32Shell(std::unique_ptr<SettingStore> store, DeviceLister listDevices)
    : store_(std::move(store)), listDevices_(std::move(listDevices)) {}

HWND Win32Shell::Owner() const {
  return owner_ != nullptr && ::IsWindowVisible(owner_) ? owner_ : nullptr;
}

BoxAnswer Win32Shell::ShowAppMessage(std::string_view text, BoxButtons buttons) {
  return ShowBox(Owner(), text, {}, buttons);
}

void Win32Shell::ShowFileError(std::string_view text) {
  ShowStopBox(Owner(), text);
}

std::string FileDialogFilter(const FileChoice& choice) {
  std::string filter;
  for (const FileFilter& entry : choice.filters) {
    filter += entry.label;
    filter += '\0';
    filter += entry.pattern;
    filter += '\0';
  }
  filter += '\0';
  return filter;
}

std::optional<std::string> Win32Shell::ChooseFile(const FileChoice& choice) {
  // The open form with no options: it shows its read-only box (ignored),
  // takes the name of a file that does not exist, asks nothing before a
  // file is replaced and adds no extension. The buffer takes the longest
  // path the file calls accept.
  std::vector<char> name(32768, '\0');
  choice.initialName.copy(name.data(), name.size() - 1);
  const std::string filter = FileDialogFilter(choice);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Owner();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.Flags = OFN_EXPLORER;
  if (!::GetOpenFileNameA(&dialog) || name[0] == '\0') return std::nullopt;
  return std::string(name.data());
}

std::optional<PortChoice> Win32Shell::RunPortDialog(const PortDialogOffer& offer) {
  return app::RunPortDialog(Owner(), offer);
}

TransferOutcome Win32Shell::RunTransfer(const TransferRequest& request, const ComDevice& device) {
  Win32TransferWindow window(Owner());
  return RunTransferOn(window, window, request, device);
}

void Win32Shell::ShowAbout() {
  RunAboutDialog(Owner());
}

}  // namespace tavlink::app
