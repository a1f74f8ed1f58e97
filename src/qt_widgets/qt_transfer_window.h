#pragma once
// The progress window of a transfer session (dialog 132): status line 1014,
// progress bar 1013 and Cancel button 2, without a close box. Esc, the
// Cancel button and a posted close reach the session as OnCancel; a posted
// TransferDone as OnTransferDone.
//
// Threading: constructed, run and destroyed on the user-interface thread.
// SetStatusText, SetProgressRange, SetProgressPos and ShowMessage may come
// from the worker and then block until done; PostTransferDone and
// PostClose may come from any thread. Destroy the session (which joins its
// worker) before this window.

#include <QDialog>

#include "transfer/transfer_view.h"
#include "ui_transfer_dialog.h"

namespace tavlink::app {

class QtTransferWindow final : public QDialog, public TransferView {
  Q_OBJECT

 public:
  explicit QtTransferWindow(QWidget* parent);

  void RunModal(TransferDialog& dialog) override;
  void EndDialog() override;
  void SetTitle(std::string_view title) override;
  void SetStatusText(std::string_view text) override;
  void SetProgressRange(int upper) override;
  void SetProgressPos(int position) override;
  BoxAnswer ShowMessage(std::string_view text, std::string_view caption,
                        BoxButtons buttons) override;
  void PostTransferDone(int lParam) override;
  void PostClose() override;

  // Esc and the Cancel button: the session decides whether to end.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Ends the modal run once no box of ours is open.
  void EndWhenIdle();

  Ui::TransferDialogForm ui_;
  TransferDialog* dialog_ = nullptr;  // set for the length of RunModal
  bool running_ = false;              // inside exec()
  bool endRequested_ = false;
  int openBoxes_ = 0;  // result boxes shown by this window
};

}  // namespace tavlink::app
