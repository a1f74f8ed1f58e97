// The transfer session's progress window.
#include "qt_widgets/qt_transfer_window.h"

#include <QCloseEvent>

#include "qt_widgets/dialog_form.h"
#include "qt_widgets/on_ui_thread.h"
#include "qt_widgets/qt_message_box.h"
#include "transfer/transfer_dialog.h"

namespace tavlink::app {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtTransferWindow::QtTransferWindow(QWidget* parent) : QDialog(parent) {
  ui_.setupUi(this);
  SetUpForm(this);
  // Caption only: no system menu and so no close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  connect(ui_.id2, &QPushButton::clicked, this, &QtTransferWindow::reject);
}

void QtTransferWindow::RunModal(TransferDialog& dialog) {
  dialog_ = &dialog;
  endRequested_ = false;
  dialog.OnInitDialog();
  if (!endRequested_) {
    running_ = true;
    exec();
    running_ = false;
  }
  dialog_ = nullptr;
}

void QtTransferWindow::EndDialog() {
  endRequested_ = true;
  EndWhenIdle();
}

void QtTransferWindow::EndWhenIdle() {
  // A close delivered inside a result box's own event loop waits for the
  // box, so that the box is never left without its window.
  if (endRequested_ && running_ && openBoxes_ == 0) QDialog::done(QDialog::Rejected);
}

void QtTransferWindow::SetTitle(std::string_view title) {
  setWindowTitle(ToQString(title));
}

void QtTransferWindow::SetStatusText(std::string_view text) {
  RunOnUiThread(this, [this, text] { ui_.id1014->setText(ToQString(text)); });
}

void QtTransferWindow::SetProgressRange(int upper) {
  RunOnUiThread(this, [this, upper] { ui_.id1013->setRange(0, upper); });
}

void QtTransferWindow::SetProgressPos(int position) {
  RunOnUiThread(this, [this, position] { ui_.id1013->setValue(position); });
}

BoxAnswer QtTransferWindow::ShowMessage(std::string_view text, std::string_view caption,
                                        BoxButtons buttons) {
  BoxAnswer answer = BoxAnswer::kCancel;
  RunOnUiThread(this, [&] {
    ++openBoxes_;
    answer = ShowBox(this, text, caption, buttons);
    --openBoxes_;
    EndWhenIdle();
  });
  return answer;
}

void QtTransferWindow::PostTransferDone(int lParam) {
  QMetaObject::invokeMethod(
      this,
      [this, lParam] {
        if (dialog_ != nullptr) dialog_->OnTransferDone(lParam);
      },
      Qt::QueuedConnection);
}

void QtTransferWindow::PostClose() {
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (dialog_ != nullptr) dialog_->OnCancel();
      },
      Qt::QueuedConnection);
}

void QtTransferWindow::reject() {
  if (dialog_ != nullptr) dialog_->OnCancel();
}

void QtTransferWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

}  // namespace tavlink::app
