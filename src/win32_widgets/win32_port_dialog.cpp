// The port setup dialog.
#include "win32_widgets/win32_port_dialog.h"

#include <algorithm>
#include <array>
#include <string>

#include "link/port_names.h"
#include "win32_widgets/widget_ids.h"
#include "win32_widgets/win32_message_box.h"
#include "win32_widgets/win32_text.h"

namespace tavlink::app {
namespace {

int DeviceListId(int portNumber) {
  return portNumber == 1 ? IDC_COM1_DEVICE : IDC_COM2_DEVICE;
}

int DeviceLineId(int portNumber) {
  return portNumber == 1 ? IDC_COM1_DEVICE_LINE : IDC_COM2_DEVICE_LINE;
}

class PortDialog {
 public:
  explicit PortDialog(const PortDialogOffer& offer) : offer_(offer) {}

  std::optional<PortChoice> Run(HWND owner) {
    const INT_PTR result =
        ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PORT_SETUP), owner,
                          &PortDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (result != IDOK) return std::nullopt;
    return choice_;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<PortDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    return self != nullptr ? self->OnMessage(window, message, wParam, lParam) : FALSE;
  }

  INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        ::SendMessageA(
            window, WM_SETICON, ICON_SMALL,
            reinterpret_cast<LPARAM>(::LoadImageA(
                ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED)));
        for (int port : {1, 2}) Fill(window, port);
        ::CheckRadioButton(window, IDC_COM1, IDC_COM2,
                           offer_.currentPort == 1 ? IDC_COM1 : IDC_COM2);
        return TRUE;  // the focus goes to the first tab stop, OK
      case WM_COMMAND:
        switch (LOWORD(wParam)) {
          case IDOK:
            if (Accept(window)) ::EndDialog(window, IDOK);
            return TRUE;
          case IDCANCEL:
            ::EndDialog(window, IDCANCEL);
            return TRUE;
          case IDC_COM1_DEVICE:
          case IDC_COM2_DEVICE:
            // A chosen entry reaches the field only after CBN_SELCHANGE:
            // the line is shown from the entry then, from the field as typed.
            if (HIWORD(wParam) == CBN_SELCHANGE)
              ShowDeviceLine(window, LOWORD(wParam) == IDC_COM1_DEVICE ? 1 : 2, true);
            else if (HIWORD(wParam) == CBN_EDITCHANGE)
              ShowDeviceLine(window, LOWORD(wParam) == IDC_COM1_DEVICE ? 1 : 2, false);
            return TRUE;
          default:
            return FALSE;
        }
      case WM_CTLCOLORSTATIC: {
        // The device lines are grey, on the dialog's own background.
        const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id != IDC_COM1_DEVICE_LINE && id != IDC_COM2_DEVICE_LINE) return FALSE;
        const HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_3DFACE));
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_3DFACE));
      }
      default:
        return FALSE;
    }
  }

  void Fill(HWND window, int port) {
    const PortDevices& devices = offer_.devices[port - 1];
    const HWND list = ::GetDlgItem(window, DeviceListId(port));
    int widest = 0;
    const HDC dc = ::GetDC(list);
    const HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(list, WM_GETFONT, 0, 0)));
    for (const DeviceOption& option : devices.options) {
      const std::wstring text = Widen(option.text);
      ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SIZE size{};
      ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(list, dc);
    if (devices.current < devices.options.size())
      ::SendMessageA(list, CB_SETCURSEL, devices.current, 0);
    ::EnableWindow(list, !devices.fixed);
    // The list, when open, is as wide as its longest entry.
    RECT frame{};
    ::GetWindowRect(list, &frame);
    const int width =
        std::max(static_cast<int>(frame.right - frame.left),
                 widest + 2 * ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXVSCROLL) + 8);
    ::SendMessageA(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
    ShowDeviceLine(window, port);
  }

  // The index of the entry the drop-down of port n shows, CB_ERR for none.
  static LRESULT CurrentIndex(HWND window, int port) {
    return ::SendDlgItemMessageA(window, DeviceListId(port), CB_GETCURSEL, 0, 0);
  }

  // What port n's drop-down shows: its entry and its field's text.
  DeviceField Field(HWND window, int port) const {
    const HWND list = ::GetDlgItem(window, DeviceListId(port));
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(list)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(list, text.data(), static_cast<int>(text.size()))));
    return {CurrentIndex(window, port), Narrow(text)};
  }

  void ShowDeviceLine(HWND window, int port, bool fromEntry = true) {
    const PortDevices& devices = offer_.devices[port - 1];
    const DeviceOption* option = OptionAt(devices, CurrentIndex(window, port));
    std::wstring line;
    const std::optional<std::string> typed =
        fromEntry ? std::nullopt : TypedDevice(devices, Field(window, port));
    if (typed)
      line = PortDeviceLine(port, {*typed, ComDevice::Source::kSetting});
    else if (option != nullptr)
      line = PortDeviceLine(port, option->device);
    ::SetDlgItemTextW(window, DeviceLineId(port), line.c_str());
  }

  // True once the choice is taken; a typed device that names none is said
  // and the dialog stays open.
  bool Accept(HWND window) {
    const std::array<DeviceField, 2> fields{Field(window, 1), Field(window, 2)};
    if (const std::string problem = TypedDeviceProblem(offer_, fields); !problem.empty()) {
      ShowBox(window, problem, {}, BoxButtons::kOk);
      return false;
    }
    choice_ = ChoiceFrom(offer_, ::IsDlgButtonChecked(window, IDC_COM1) == BST_CHECKED ? 1 : 2,
                         fields);
    return true;
  }

  PortDialogOffer offer_;
  PortChoice choice_;
};

}  // namespace

std::wstring PortDeviceLine(int portNumber, const ComDevice& device) {
  // The arrow is no character of every code page: it joins the texts in
  // UTF-16.
  return Widen(ComPortName(portNumber)) + L" \u2192 " + Widen(DeviceAndSource(portNumber, device));
}

std::optional<PortChoice> RunPortDialog(HWND owner, const PortDialogOffer& offer) {
  PortDialog dialog(offer);
  return dialog.Run(owner);
}

}  // namespace tavlink::app
