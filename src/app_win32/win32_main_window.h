#pragma once
// The main window on Win32 (dialog 102, "ZOR Link"): the receiver
// information (1021 software version, 1018 hardware version, 1022 status)
// and the six commands 1001, 1000, 1002, 1003, 1004 and 1005, each run to
// its end inside its click through MainLogic. The system menu carries the
// "&About TAVLINK..." entry (IDM_ABOUTBOX) and under it "Channel
// &Editor..." (IDM_CHANNEL_EDITOR), which starts tavlink-editor.exe from the
// program's folder. Exit, the close box and Esc end the modal run.
//
// Threading: constructed, run and destroyed on one thread, the
// user-interface thread.

#include <windows.h>

#include <memory>

#include "app/main_logic.h"
#include "app_win32/win32_shell.h"

namespace tavlink::app {

class Win32MainWindow {
 public:
  // `store` keeps the port and the device mappings; `block` is the
  // application's data block and must outlive the window; `listDevices`
  // lists the serial devices the port dialog offers.
  Win32MainWindow(std::unique_ptr<SettingStore> store, ReceiverDataBlock& block,
                  DeviceLister listDevices = ListSerialDevices);
  ~Win32MainWindow();
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;

  // Creates the window, initialises it (which may run the port dialog
  // before the window is first shown) and runs it modally until it ends.
  void Run();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog();
  // Runs one command of MainLogic, then shows the receiver information.
  void Run(void (MainLogic::*command)());
  void ShowInfo();
  void PaintMinimised();

  HWND window_ = nullptr;
  HICON appIcon_ = nullptr;       // icon 128 at the system's icon size
  HICON appIconSmall_ = nullptr;  // and at the small icon size
  Win32Shell shell_;
  MainLogic logic_;
};

}  // namespace tavlink::app
