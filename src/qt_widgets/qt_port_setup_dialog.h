#pragma once
// The port setup dialog (dialog 131, "Communication Setup"): radio buttons
// 1012 (COM1) and 1013 (COM2), OK (1) and Cancel (2) where the original
// has them; below the group box, per port a drop-down of the devices it may
// lead to (1023 for COM1, 1024 for COM2), and a grey line per port telling
// which device it opens and why, wrapped to the dialog's width (the dialog
// grows downward for a long device name). A drop-down takes a typed device
// path too, checked when OK is pressed. A port whose device the environment
// names shows that device in a disabled drop-down.
//
// Threading: user-interface thread only.

#include <QDialog>

#include "app/port_choice.h"
#include "link/port_names.h"
#include "ui_port_setup_dialog.h"

class QComboBox;

namespace tavlink::app {

class PortSetupDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit PortSetupDialog(QWidget* parent = nullptr);

  // Fills the two drop-downs and the device lines from `offer` and sets
  // selectedPort to offer.currentPort. Call before exec().
  void Offer(const PortDialogOffer& offer);

  // Shows COM1 selected when selectedPort is 1 and COM2 for any other
  // value, then runs modally. After Accepted selectedPort is 1 or 2; after
  // Rejected it is unchanged.
  int exec() override;
  void accept() override;

  // After Accepted: the port and the device chosen for each port.
  PortChoice Choice() const;

  int selectedPort = 0;

 private:
  QComboBox* DeviceList(int portNumber) const;
  // What port n's drop-down shows now: its entry and its field's text.
  DeviceField Field(int portNumber) const;
  // The grey line under the drop-downs for port n, from its current entry.
  void ShowDeviceLine(int portNumber);
  // Sizes the two device lines to their wrapped text and the dialog to them.
  void FitDeviceLines();

  Ui::PortSetupDialogForm ui_;
  PortDialogOffer offer_;
  // The form's placing of the device lines, in pixels.
  int formLinesTop_ = 0;
  int formLineHeight_ = 0;
  int formLineGap_ = 0;
  int formBottomMargin_ = 0;
};

// "COM1 → /dev/ttyUSB0 (setting)": where port n leads and why.
QString PortDeviceLine(int portNumber, const ComDevice& device);

}  // namespace tavlink::app
