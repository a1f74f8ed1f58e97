#pragma once
// The main window (dialog 102, "ZOR Link"): the receiver information
// (1021 software version, 1018 hardware version, 1022 status) and the six
// commands 1001, 1000, 1002, 1003, 1004 and 1005. Each command runs to its
// end inside its click through MainLogic. The window manager's system menu
// is out of reach, so the "&About TAVLINK..." entry (command 16) lives in
// the window's context menu and goes through OnSysCommand; under it,
// "Channel Editor..." starts tavlink-editor from the program's own folder.
//
// Threading: user-interface thread only.

#include <QDialog>
#include <memory>

#include "app/about_texts.h"
#include "app/main_logic.h"
#include "app_qt/qt_shell.h"
#include "ui_main_dialog.h"

class QMenu;

namespace tavlink::app {

class MainDialog final : public QDialog {
  Q_OBJECT

 public:
  // `store` keeps the port; `block` is the application's data block and
  // must outlive the window; `listDevices` lists the serial devices the
  // port dialog offers.
  MainDialog(std::unique_ptr<SettingStore> store, ReceiverDataBlock& block,
             DeviceLister listDevices = ListSerialDevices);

  // The initialisation before the window is first shown: may run the port
  // setup dialog (no stored port). Call once, before exec().
  void Initialize();

  // A system command: 16 (low four bits ignored) opens the About box.
  // Returns true when handled.
  bool OnSysCommand(int command);

  // Starts the channel editor beside this program; false (and said) when
  // it cannot be started.
  bool StartChannelEditor();

  // The context menu standing in for the system menu.
  QMenu* SystemMenu() const { return systemMenu_; }

  MainLogic& Logic() { return logic_; }
  QtShell& Shell() { return shell_; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Runs one command of MainLogic, then shows the receiver information.
  void Run(void (MainLogic::*command)());
  void ShowInfo();

  Ui::MainDialogForm ui_;
  QtShell shell_;
  MainLogic logic_;
  QMenu* systemMenu_ = nullptr;
};

}  // namespace tavlink::app
