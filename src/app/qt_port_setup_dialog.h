#pragma once
// The port setup dialog (dialog 131, "Communication Setup"): radio buttons
// 1012 (COM1) and 1013 (COM2), OK (1) and Cancel (2), and below them a grey
// line per port telling which device it opens, wrapped to the dialog's width
// (the dialog grows downward for a long device name).
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
  // Sizes the two device lines to their wrapped text and the dialog to them.
  void FitDeviceLines();

  Ui::PortSetupDialogForm ui_;
  // The form's placing of the device lines, in pixels.
  int formLinesTop_ = 0;
  int formLineHeight_ = 0;
  int formLineGap_ = 0;
  int formBottomMargin_ = 0;
};

// "COM1 → /dev/ttyUSB0 (setting)": where port n leads and why.
QString PortDeviceLine(int portNumber, const ComDevice& device);

}  // namespace tavlink::app
