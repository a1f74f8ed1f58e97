#pragma once
// The About box (dialog 100): icon, "ZOR Link Version 1.6", the maker's
// line, OK (1), and between the two lines the invisible strip 1020 that
// shows a one-line application box when clicked.
//
// Threading: user-interface thread only.

#include <QDialog>

#include "app/about_texts.h"
#include "ui_about_dialog.h"

namespace tavlink::app {

class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

 private:
  Ui::AboutDialogForm ui_;
};

}  // namespace tavlink::app
