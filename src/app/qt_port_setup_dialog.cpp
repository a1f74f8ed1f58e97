// The port setup dialog.
#include "app/qt_port_setup_dialog.h"

#include "app/dialog_units.h"
#include "app/qt_resources.h"
#include "link/port_names.h"

namespace tavlink::app {

QString PortDeviceLine(int portNumber, const ComDevice& device) {
  return QString::fromStdString(ComPortName(portNumber)) + QStringLiteral(" \u2192 ") +
         QString::fromStdString(device.path) + QStringLiteral(" (") +
         QString::fromStdString(DescribeSource(portNumber, device.source)) + QStringLiteral(")");
}

PortSetupDialog::PortSetupDialog(QWidget* parent) : QDialog(parent) {
  InitResources();
  ui_.setupUi(this);
  ApplyDialogUnits(this);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(AppIcon());
  connect(ui_.id1, &QPushButton::clicked, this, &PortSetupDialog::accept);
  connect(ui_.id2, &QPushButton::clicked, this, &PortSetupDialog::reject);
}

int PortSetupDialog::exec() {
  (selectedPort == 1 ? ui_.id1012 : ui_.id1013)->setChecked(true);
  ui_.id1->setFocus();
  return QDialog::exec();
}

void PortSetupDialog::SetDeviceLine(int portNumber, const QString& line) {
  (portNumber == 1 ? ui_.com1Device : ui_.com2Device)->setText(line);
  (portNumber == 1 ? ui_.id1012 : ui_.id1013)->setToolTip(line);
}

void PortSetupDialog::accept() {
  selectedPort = ui_.id1012->isChecked() ? 1 : 2;
  QDialog::accept();
}

}  // namespace tavlink::app
