// LinkShell on Win32.
#include "app_win32/win32_shell.h"

#include "app_win32/win32_about_dialog.h"
#include "win32_widgets/win32_file_dialog.h"
#include "win32_widgets/win32_message_box.h"
#include "win32_widgets/win32_port_dialog.h"
#include "win32_widgets/win32_transfer_window.h"

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

std::optional<std::string> Win32Shell::ChooseFile(const FileChoice& choice) {
  return RunFileDialog(Owner(), choice, FileDialogForm::kPlainOpen);
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
