// The main window.
#include "app_qt/qt_main_dialog.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QProcess>

#include "app/editor_launch.h"
#include "qt_widgets/dialog_form.h"
#include "qt_widgets/qt_message_box.h"
#include "qt_widgets/qt_resources.h"

namespace tavlink::app {

MainDialog::MainDialog(std::unique_ptr<SettingStore> store, ReceiverDataBlock& block,
                       DeviceLister listDevices)
    : shell_(this, std::move(store), std::move(listDevices)), logic_(shell_, block) {
  InitResources();
  ui_.setupUi(this);
  SetUpForm(this);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(AppIcon());

  systemMenu_ = new QMenu(this);
  systemMenu_->addSeparator();
  QAction* about = systemMenu_->addAction(QString::fromUtf8(kAboutMenuText));
  about->setData(kAboutSystemCommand);
  QAction* editor = systemMenu_->addAction(QString::fromUtf8(kChannelEditorMenuText));
  editor->setObjectName("channelEditor");
  connect(systemMenu_, &QMenu::triggered, this, [this, editor](QAction* action) {
    if (action == editor) {
      StartChannelEditor();
    } else {
      OnSysCommand(action->data().toInt());
    }
  });

  connect(ui_.id1001, &QPushButton::clicked, this, [this] { Run(&MainLogic::SetupComm); });
  connect(ui_.id1000, &QPushButton::clicked, this, [this] { Run(&MainLogic::UpgradeSoftware); });
  connect(ui_.id1002, &QPushButton::clicked, this, [this] { Run(&MainLogic::ReadUserData); });
  connect(ui_.id1003, &QPushButton::clicked, this, [this] { Run(&MainLogic::WriteFactoryData); });
  connect(ui_.id1004, &QPushButton::clicked, this, [this] { shell_.ShowAbout(); });
  connect(ui_.id1005, &QPushButton::clicked, this, &QWidget::close);
  ui_.id1001->setFocus();
}

void MainDialog::Initialize() {
  logic_.Initialize();
  ShowInfo();
}

bool MainDialog::OnSysCommand(int command) {
  return logic_.SystemCommand(command);
}

bool MainDialog::StartChannelEditor() {
  const std::string path = ChannelEditorPath(QCoreApplication::applicationDirPath().toStdString());
  if (QProcess::startDetached(QString::fromStdString(path), {})) return true;
  ShowBox(this, ChannelEditorNotStartedText(path), {}, BoxButtons::kOk);
  return false;
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
  systemMenu_->popup(event->globalPos());
}

void MainDialog::Run(void (MainLogic::*command)()) {
  (logic_.*command)();
  ShowInfo();
}

void MainDialog::ShowInfo() {
  const ReceiverInfo& info = logic_.Info();
  ui_.id1021->setText(QString::fromStdString(info.softwareVersion));
  ui_.id1018->setText(QString::fromStdString(info.hardwareVersion));
  ui_.id1022->setText(QString::fromStdString(info.status));
}

}  // namespace tavlink::app
