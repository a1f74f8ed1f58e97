// The port setup dialog.
#include "qt_widgets/qt_port_setup_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <algorithm>

#include "link/port_names.h"
#include "qt_widgets/dialog_form.h"
#include "qt_widgets/qt_message_box.h"
#include "qt_widgets/qt_resources.h"

namespace tavlink::app {
namespace {

// A tool tip shows rich text when its text looks like markup; a device name
// is shown as it stands.
QString PlainToolTip(const QString& text) {
  return QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(text.toHtmlEscaped());
}

void Fill(QComboBox* list, const PortDevices& devices) {
  list->clear();
  for (const DeviceOption& option : devices.options) {
    list->addItem(QString::fromStdString(option.text));
    list->setItemData(list->count() - 1, PlainToolTip(QString::fromStdString(option.device.path)),
                      Qt::ToolTipRole);
  }
  if (devices.current < devices.options.size())
    list->setCurrentIndex(static_cast<int>(devices.current));
  list->setEnabled(!devices.fixed);
  // The list, when open, is as wide as its longest entry.
  QAbstractItemView* view = list->view();
  view->setMinimumWidth(std::max(list->width(), view->sizeHintForColumn(0) +
                                                    2 * view->frameWidth() +
                                                    view->verticalScrollBar()->sizeHint().width()));
}

}  // namespace

QString PortDeviceLine(int portNumber, const ComDevice& device) {
  return QString::fromStdString(ComPortName(portNumber)) + QStringLiteral(" \u2192 ") +
         QString::fromStdString(DeviceAndSource(portNumber, device));
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
  for (int port : {1, 2}) {
    connect(DeviceList(port), &QComboBox::editTextChanged, this, [this, port] {
      ShowDeviceLine(port);
      FitDeviceLines();
    });
  }
}

QComboBox* PortSetupDialog::DeviceList(int portNumber) const {
  return portNumber == 1 ? ui_.id1023 : ui_.id1024;
}

void PortSetupDialog::Offer(const PortDialogOffer& offer) {
  offer_ = offer;
  selectedPort = offer.currentPort;
  for (int port : {1, 2}) {
    const PortDevices& devices = offer_.devices[port - 1];
    QComboBox* list = DeviceList(port);
    {
      const QSignalBlocker quiet(list);
      Fill(list, devices);
    }
    list->setToolTip(devices.fixed ? PlainToolTip(QString::fromStdString(
                                         ComEnvironmentName(port) +
                                         " names this port's device; it wins over a choice here."))
                                   : QString());
    ShowDeviceLine(port);
  }
}

DeviceField PortSetupDialog::Field(int portNumber) const {
  const QComboBox* list = DeviceList(portNumber);
  return {list->currentIndex(), list->currentText().toStdString()};
}

void PortSetupDialog::ShowDeviceLine(int portNumber) {
  const PortDevices& devices = offer_.devices[portNumber - 1];
  const DeviceField field = Field(portNumber);
  const DeviceOption* option = OptionAt(devices, field.index);
  QString line;
  if (const std::optional<std::string> typed = TypedDevice(devices, field))
    line = PortDeviceLine(portNumber, {*typed, ComDevice::Source::kSetting});
  else if (option != nullptr)
    line = PortDeviceLine(portNumber, option->device);
  (portNumber == 1 ? ui_.com1Device : ui_.com2Device)->setText(line);
  (portNumber == 1 ? ui_.id1012 : ui_.id1013)
      ->setToolTip(line.isEmpty() ? QString() : PlainToolTip(line));
}

int PortSetupDialog::exec() {
  (selectedPort == 1 ? ui_.id1012 : ui_.id1013)->setChecked(true);
  FitDeviceLines();
  ui_.id1->setFocus();
  return QDialog::exec();
}

void PortSetupDialog::FitDeviceLines() {
  // Each line wraps onto as many lines as it needs; the controls above stay
  // where they are and the dialog grows downward.
  int top = formLinesTop_;
  for (QLabel* line : {ui_.com1Device, ui_.com2Device}) {
    const int height = std::max(line->heightForWidth(line->width()), formLineHeight_);
    line->setGeometry(line->x(), top, line->width(), height);
    top += height + formLineGap_;
  }
  setFixedHeight(top - formLineGap_ + formBottomMargin_);
}

void PortSetupDialog::accept() {
  // A typed device is checked now; the dialog stays open until it names one.
  if (const std::string problem = TypedDeviceProblem(offer_, {Field(1), Field(2)});
      !problem.empty()) {
    ShowBox(this, problem, {}, BoxButtons::kOk);
    return;
  }
  selectedPort = ui_.id1012->isChecked() ? 1 : 2;
  QDialog::accept();
}

PortChoice PortSetupDialog::Choice() const {
  return ChoiceFrom(offer_, selectedPort, {Field(1), Field(2)});
}

}  // namespace tavlink::app
