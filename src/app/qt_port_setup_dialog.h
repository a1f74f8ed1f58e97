#pragma once
// The port setup dialog (dialog 131, "Communication Setup"): radio buttons
// 1012 (COM1) and 1013 (COM2), OK (1) and Cancel (2), and a grey line per
// port telling which device it opens.
//
// Threading: user-interface thread only.

#include <QDialog>

#include "link/port_names.h"
#include "ui_port_setup_dialog.h"

namespace tavlink::app {

class PortSetupDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit PortSetupDialog(QWidget* parent = nullptr);

  // Shows COM1 selected when selectedPort is 1 and COM2 for any other
  // value, then runs modally. After Accepted selectedPort is 1 or 2; after
  // Rejected it is unchanged.
  int exec() override;
  void accept() override;

  // The grey line under port 1 or 2 that tells where it leads.
  void SetDeviceLine(int portNumber, const QString& line);

  int selectedPort = 0;

 private:
  Ui::PortSetupDialogForm ui_;
};

// "COM1 → /dev/ttyUSB0 (setting)": where port n leads and why.
QString PortDeviceLine(int portNumber, const ComDevice& device);

}  // namespace tavlink::app
