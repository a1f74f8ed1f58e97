#pragma once
// The Win32 implementation of LinkShell: message boxes, the open form of
// the common file dialog, the port dialog, the About box and transfer
// windows, all owned by the main window once it is shown.
//
// Threading: user-interface thread only (the transfer's worker reaches the
// window through Win32TransferWindow).

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/link_shell.h"

namespace tavlink::app {

class Win32Shell final : public LinkShell {
 public:
  // `listDevices` is asked each time the port dialog opens.
  explicit Win32Shell(std::unique_ptr<SettingStore> store,
                      DeviceLister listDevices = ListSerialDevices);

  // The main window, owner of every box and dialog once it is visible.
  void SetOwner(HWND owner) { owner_ = owner; }

  BoxAnswer ShowAppMessage(std::string_view text, BoxButtons buttons) override;
  void ShowFileError(std::string_view text) override;
  std::optional<std::string> ChooseFile(const FileChoice& choice) override;
  std::optional<PortChoice> RunPortDialog(const PortDialogOffer& offer) override;
  std::vector<SerialDeviceInfo> SerialDevices() override { return listDevices_(); }
  TransferOutcome RunTransfer(const TransferRequest& request, const ComDevice& device) override;
  void ShowAbout() override;
  SettingStore& Settings() override { return *store_; }

 private:
  // The owner of a modal window: the main window once it is shown; before
  // that (the port dialog at start-up) none, so that the dialog has a
  // taskbar button of its own.
  HWND Owner() const;

  HWND owner_ = nullptr;
  std::unique_ptr<SettingStore> store_;
  DeviceLister listDevices_;
};

}  // namespace tavlink::app
