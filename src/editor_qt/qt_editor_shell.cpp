#include "editor_qt/qt_editor_shell.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "editor/editor_document.h"
#include "editor/editor_texts.h"
#include "editor_qt/editor_dialogs.h"
#include "qt_widgets/qt_file_dialog.h"
#include "qt_widgets/qt_message_box.h"
#include "qt_widgets/qt_port_setup_dialog.h"
#include "qt_widgets/qt_transfer_window.h"

namespace tavlink::editor {

namespace {

QString Caption() {
  return QString::fromUtf8(kEditorName.data(), static_cast<qsizetype>(kEditorName.size()));
}

}  // namespace

QtEditorShell::QtEditorShell(QWidget* owner, std::shared_ptr<SettingStore> store,
                             app::DeviceLister listDevices, Hooks hooks)
    : owner_(owner),
      store_(std::move(store)),
      listDevices_(std::move(listDevices)),
      hooks_(std::move(hooks)) {}

void QtEditorShell::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::Warning, Caption(), ListText(text), QMessageBox::Ok, owner_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtEditorShell::Ask(std::string_view text, bool okCancel) {
  QMessageBox box(QMessageBox::Question, Caption(), ListText(text), QMessageBox::NoButton, owner_);
  box.setTextFormat(Qt::PlainText);
  if (okCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
  } else {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  const auto answer = clicked != nullptr ? box.standardButton(clicked) : QMessageBox::NoButton;
  return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

SaveAnswer QtEditorShell::AskSaveChanges(std::string_view text) {
  QMessageBox box(QMessageBox::Warning, Caption(), ListText(text),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  switch (clicked != nullptr ? box.standardButton(clicked) : QMessageBox::Cancel) {
    case QMessageBox::Save:
      return SaveAnswer::kSave;
    case QMessageBox::Discard:
      return SaveAnswer::kDiscard;
    default:
      return SaveAnswer::kCancel;
  }
}

void QtEditorShell::ShowFileError(std::string_view text) {
  app::ShowStopBox(owner_, text);
}

std::optional<std::string> QtEditorShell::ChooseOpenFile(const FileChoice& choice) {
  QFileDialog dialog(owner_);
  app::ConfigureOpenDialog(dialog, choice);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setWindowTitle("Open");
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(files.front()).toStdString();
}

std::optional<std::string> QtEditorShell::ChooseSaveFile(const FileChoice& choice) {
  QFileDialog dialog(owner_);
  app::ConfigureOpenDialog(dialog, choice);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.setWindowTitle("Save As");
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(files.front()).toStdString();
}

std::optional<int> QtEditorShell::AskNumber(std::string_view text, int value, int low, int high) {
  bool ok = false;
  const int number =
      QInputDialog::getInt(owner_, Caption(), ListText(text), value, low, high, 1, &ok);
  if (!ok) return std::nullopt;
  return number;
}

std::optional<int> QtEditorShell::AskChoice(std::string_view text,
                                            const std::vector<std::string>& items, int current) {
  QStringList list;
  for (const std::string& item : items) list << ListText(item);
  bool ok = false;
  const QString chosen =
      QInputDialog::getItem(owner_, Caption(), ListText(text), list, current, false, &ok);
  if (!ok) return std::nullopt;
  const qsizetype index = list.indexOf(chosen);
  if (index < 0) return std::nullopt;
  return static_cast<int>(index);
}

std::optional<std::vector<std::string>> QtEditorShell::EditRecord(const RecordForm& form) {
  RecordDialog dialog(owner_, form);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Texts();
}

PreviewAnswer QtEditorShell::ShowPreview(const WritePreview& preview) {
  PreviewDialog dialog(owner_, preview);
  dialog.exec();
  return dialog.Answer();
}

void QtEditorShell::ShowReport(const Report& report) {
  ReportDialog dialog(owner_, report);
  dialog.exec();
}

std::optional<PortChoice> QtEditorShell::RunPortDialog(const PortDialogOffer& offer) {
  app::PortSetupDialog dialog(owner_);
  dialog.Offer(offer);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

TransferOutcome QtEditorShell::RunTransfer(const TransferRequest& request,
                                           const ComDevice& device) {
  app::QtTransferWindow window(owner_);
  return RunTransferOn(window, errors_, request, device);
}

void QtEditorShell::OpenWindow(std::unique_ptr<EditorDocument> document) {
  if (hooks_.openWindow) hooks_.openWindow(std::move(document));
}

void QtEditorShell::SetClipboardText(const std::string& text) {
  QApplication::clipboard()->setText(ListText(text));
}

std::string QtEditorShell::ClipboardText() {
  return ListBytes(QApplication::clipboard()->text());
}

void QtEditorShell::DocumentReplaced() {
  if (hooks_.documentReplaced) hooks_.documentReplaced();
}

}  // namespace tavlink::editor
