// The main window.
#include "app_win32/win32_main_window.h"

#include <string>

#include "app/editor_launch.h"
#include "app_win32/resource_ids.h"
#include "app_win32/win32_editor_launch.h"

namespace tavlink::app {
namespace {

// The resource script's menu identifier and the command the logic handles
// are one number.
static_assert(IDM_ABOUTBOX == kAboutSystemCommand);

HICON LoadAppIcon(int widthMetric, int heightMetric) {
  return static_cast<HICON>(
      ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                   ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric), 0));
}

}  // namespace

Win32MainWindow::Win32MainWindow(std::unique_ptr<SettingStore> store, ReceiverDataBlock& block,
                                 DeviceLister listDevices)
    : appIcon_(LoadAppIcon(SM_CXICON, SM_CYICON)),
      appIconSmall_(LoadAppIcon(SM_CXSMICON, SM_CYSMICON)),
      shell_(std::move(store), std::move(listDevices)),
      logic_(shell_, block) {}

Win32MainWindow::~Win32MainWindow() {
  if (appIcon_ != nullptr) ::DestroyIcon(appIcon_);
  if (appIconSmall_ != nullptr) ::DestroyIcon(appIconSmall_);
}

void Win32MainWindow::Run() {
  ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TAVLINK_DIALOG), nullptr,
                    &Win32MainWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  shell_.SetOwner(nullptr);
}

INT_PTR CALLBACK Win32MainWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<Win32MainWindow*>(lParam)->window_ = window;
  }
  auto* self = reinterpret_cast<Win32MainWindow*>(::GetWindowLongPtrA(window, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;  // the focus goes to the first tab stop, Setup Comm
    case WM_SYSCOMMAND:
      // Handled (TRUE) for the About entry, whatever its four low bits, and
      // for Channel Editor; every other system command gets the default
      // processing.
      if ((wParam & 0xFFF0) == IDM_CHANNEL_EDITOR) {
        StartChannelEditor(window_);
        return TRUE;
      }
      return logic_.SystemCommand(static_cast<int>(wParam)) ? TRUE : FALSE;
    case WM_PAINT:
      if (!::IsIconic(window_)) return FALSE;
      PaintMinimised();
      return TRUE;
    case WM_QUERYDRAGICON:  // answered by the dialog procedure's own result
      return reinterpret_cast<INT_PTR>(appIcon_);
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_SETUP_COMM:
          Run(&MainLogic::SetupComm);
          return TRUE;
        case IDC_UPGRADE_SOFTWARE:
          Run(&MainLogic::UpgradeSoftware);
          return TRUE;
        case IDC_READ_USER_DATA:
          Run(&MainLogic::ReadUserData);
          return TRUE;
        case IDC_WRITE_FACTORY_DATA:
          Run(&MainLogic::WriteFactoryData);
          return TRUE;
        case IDC_ABOUT:
          shell_.ShowAbout();
          return TRUE;
        case IDC_EXIT:
          // The default processing turns the close into Cancel.
          ::SendMessageA(window_, WM_CLOSE, 0, 0);
          return TRUE;
        case IDCANCEL:  // Exit, the close box and Esc
          ::EndDialog(window_, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

void Win32MainWindow::OnInitDialog() {
  shell_.SetOwner(window_);
  if (const HMENU menu = ::GetSystemMenu(window_, FALSE); menu != nullptr) {
    char text[256] = {};
    if (::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text) > 0) {
      ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
      ::AppendMenuA(menu, MF_STRING, IDM_CHANNEL_EDITOR, kChannelEditorMenuText);
    }
  }
  ::SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
  ::SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIconSmall_));
  logic_.Initialize();  // may run the port dialog before the window is shown
  ShowInfo();
}

void Win32MainWindow::Run(void (MainLogic::*command)()) {
  (logic_.*command)();
  ShowInfo();
}

void Win32MainWindow::ShowInfo() {
  const ReceiverInfo& info = logic_.Info();
  ::SetDlgItemTextA(window_, IDC_SOFTWARE_VERSION, info.softwareVersion.c_str());
  ::SetDlgItemTextA(window_, IDC_HARDWARE_VERSION, info.hardwareVersion.c_str());
  ::SetDlgItemTextA(window_, IDC_CONNECTION_STATUS, info.status.c_str());
}

void Win32MainWindow::PaintMinimised() {
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(window_, &paint);
  ::SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int width = ::GetSystemMetrics(SM_CXICON);
  const int height = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  ::GetClientRect(window_, &client);
  ::DrawIcon(dc, (client.right - width + 1) / 2, (client.bottom - height + 1) / 2, appIcon_);
  ::EndPaint(window_, &paint);
}

}  // namespace tavlink::app
