// LinkShell on Qt widgets.
#include "app_qt/qt_shell.h"

#include <QDir>
#include <QFileDialog>

#include "app_qt/qt_about_dialog.h"
#include "qt_widgets/qt_file_dialog.h"
#include "qt_widgets/qt_message_box.h"
#include "qt_widgets/qt_port_setup_dialog.h"
#include "qt_widgets/qt_transfer_window.h"

namespace tavlink::app {

QtShell::QtShell(QWidget* owner, std::unique_ptr<SettingStore> store, DeviceLister listDevices)
    : owner_(owner), store_(std::move(store)), listDevices_(std::move(listDevices)) {}

BoxAnswer QtShell::ShowAppMessage(std::string_view text, BoxButtons buttons) {
  return ShowBox(owner_, text, {}, buttons);
}

void QtShell::ShowFileError(std::string_view text) {
  ShowStopBox(owner_, text);
}

std::optional<std::string> QtShell::ChooseFile(const FileChoice& choice) {
  QFileDialog dialog(owner_);
  ConfigureOpenDialog(dialog, choice);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(files.front()).toStdString();
}

std::optional<PortChoice> QtShell::RunPortDialog(const PortDialogOffer& offer) {
  PortSetupDialog dialog(owner_ != nullptr && owner_->isVisible() ? owner_ : nullptr);
  dialog.Offer(offer);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

TransferOutcome QtShell::RunTransfer(const TransferRequest& request, const ComDevice& device) {
  QtTransferWindow window(owner_);
  return RunTransferOn(window, errors_, request, device);
}

void QtShell::ShowAbout() {
  AboutDialog dialog(owner_);
  dialog.exec();
}

}  // namespace tavlink::app
