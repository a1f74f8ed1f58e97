// The port setup dialog.
#include "app/qt_port_setup_dialog.h"

#include <algorithm>

#include "app/dialog_form.h"
#include "app/qt_resources.h"
#include "link/port_names.h"

namespace tavlink::app {
namespace {

// A tool tip shows rich text when its text looks like markup; a device name
// is shown as it stands.
QString PlainToolTip(const QString& text) {
  return QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(text.toHtmlEscaped());
}

}  // namespace

QString PortDeviceLine(int portNumber, const ComDevice& device) {
  return QString::fromStdString(ComPortName(portNumber)) + QStringLiteral(" \u2192 ") +
         QString::fromStdString(device.path) + QStringLiteral(" (") +
         QString::fromStdString(DescribeSource(portNumber, device.source)) + QStringLiteral(")");
}

PortSetupDialog::PortSetupDialog(QWidget* parent) : QDialog(parent) {
  InitResources();
  ui_.setupUi(this);
  SetUpForm(this);
  formLinesTop_ = ui_.com1Device->y();
  formLineHeight_ = ui_.com1Device->height();
  formLineGap_ = ui_.com2Device->y() - ui_.com1Device->geometry().bottom() - 1;
  formBottomMargin_ = height() - ui_.com2Device->geometry().bottom() - 1;
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(AppIcon());
  connect(ui_.id1, &QPushButton::clicked, this, &PortSetupDialog::accept);
  connect(ui_.id2, &QPushButton::clicked, this, &PortSetupDialog::reject);
}

int PortSetupDialog::exec() {
  (selectedPort == 1 ? ui_.id1012 : ui_.id1013)->setChecked(true);
  FitDeviceLines();
  ui_.id1->setFocus();
  return QDialog::exec();
}

void PortSetupDialog::SetDeviceLine(int portNumber, const QString& line) {
  (portNumber == 1 ? ui_.com1Device : ui_.com2Device)->setText(line);
  (portNumber == 1 ? ui_.id1012 : ui_.id1013)->setToolTip(PlainToolTip(line));
}

void PortSetupDialog::FitDeviceLines() {
  // Each line wraps onto as many lines as it needs; the port controls above
  // stay where they are and the dialog grows downward.
  int top = formLinesTop_;
  for (QLabel* line : {ui_.com1Device, ui_.com2Device}) {
    const int height = std::max(line->heightForWidth(line->width()), formLineHeight_);
    line->setGeometry(line->x(), top, line->width(), height);
    top += height + formLineGap_;
  }
  setFixedHeight(top - formLineGap_ + formBottomMargin_);
}

void PortSetupDialog::accept() {
  selectedPort = ui_.id1012->isChecked() ? 1 : 2;
  QDialog::accept();
}

}  // namespace tavlink::app
