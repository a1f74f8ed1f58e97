// LinkShell on Qt widgets.
#include "app_qt/qt_shell.h"

#include <QDir>
#include <QFileDialog>

#include "app_qt/qt_about_dialog.h"
#include "app_qt/qt_message_box.h"
#include "app_qt/qt_port_setup_dialog.h"
#include "app_qt/qt_transfer_window.h"

namespace tavlink::app {

QtShell::QtShell(QWidget* owner, std::unique_ptr<SettingStore> store, DeviceLister listDevices)
    : owner_(owner), store_(std::move(store)), listDevices_(std::move(listDevices)) {}

BoxAnswer QtShell::ShowAppMessage(std::string_view text, BoxButtons buttons) {
  return ShowBox(owner_, text, {}, buttons);
}

void QtShell::ShowFileError(std::string_view text) {
  ShowStopBox(owner_, text);
}

namespace {

// The patterns of `filter` as Qt takes them: blank-separated, and "*.*"
// as "*", which matches every file as it does on Windows, not only names
// with a dot.
QString QtPatterns(const FileFilter& filter) {
  QStringList patterns;
  for (const QString& pattern :
       QString::fromStdString(filter.pattern).split(';', Qt::SkipEmptyParts)) {
    patterns << (pattern.trimmed() == "*.*" ? QString("*") : pattern.trimmed());
  }
  return patterns.join(' ');
}

}  // namespace

void ConfigureOpenDialog(QFileDialog& dialog, const FileChoice& choice) {
  // The widget dialog behaves the same on every desktop: it accepts a name
  // that does not exist yet and never asks before a file is replaced.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  // Each entry is its label followed by the patterns Qt filters with; the
  // dialog shows it without that last "(...)", so the label is shown as
  // given ("All files (*.*)") while the dialog lists what Qt's patterns
  // match.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  QStringList filters;
  for (const FileFilter& filter : choice.filters) {
    filters << QString::fromStdString(filter.label) + " (" + QtPatterns(filter) + ")";
  }
  dialog.setNameFilters(filters);
  dialog.setDirectory(QDir::current());
  dialog.selectFile(QString::fromStdString(choice.initialName));
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
