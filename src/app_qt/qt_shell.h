#pragma once
// The Qt implementation of LinkShell: boxes, the open file dialog, the port
// dialog, the About box and transfer windows, all owned by the main window.
//
// Threading: user-interface thread only (the transfer's worker reaches the
// window through QtTransferWindow, the device error box through
// QtErrorReporter).

#include <memory>
#include <vector>

#include "app/link_shell.h"
#include "qt_widgets/qt_error_reporter.h"
#include "qt_widgets/qt_file_dialog.h"

class QWidget;

namespace tavlink::app {

class QtShell final : public LinkShell {
 public:
  // `owner` (the main window) must outlive the shell. `listDevices` is
  // asked each time the port dialog opens.
  QtShell(QWidget* owner, std::unique_ptr<SettingStore> store,
          DeviceLister listDevices = ListSerialDevices);

  BoxAnswer ShowAppMessage(std::string_view text, BoxButtons buttons) override;
  void ShowFileError(std::string_view text) override;
  std::optional<std::string> ChooseFile(const FileChoice& choice) override;
  std::optional<PortChoice> RunPortDialog(const PortDialogOffer& offer) override;
  std::vector<SerialDeviceInfo> SerialDevices() override { return listDevices_(); }
  TransferOutcome RunTransfer(const TransferRequest& request, const ComDevice& device) override;
  void ShowAbout() override;
  SettingStore& Settings() override { return *store_; }

  // The device error boxes of every transfer this shell runs.
  ErrorReporter& Errors() { return errors_; }

 private:
  QWidget* owner_;
  std::unique_ptr<SettingStore> store_;
  DeviceLister listDevices_;
  QtErrorReporter errors_;
};

}  // namespace tavlink::app
