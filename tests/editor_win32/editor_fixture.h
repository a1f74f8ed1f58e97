#pragma once
// The channel editor's Win32 windows on a thread of their own (UiThread of
// app_win32/window_driver.h), with their settings under a test key of
// HKEY_CURRENT_USER (removed before and after each test), driven as a user
// would: keys pressed on the control that has the focus, with Ctrl held in
// the editor thread's keyboard state, which the test thread shares once it
// has attached its input to it.

#include <gtest/gtest.h>
#include <windows.h>
// The common controls' header needs windows.h first.
#include <commctrl.h>

#include <memory>
#include <string>
#include <thread>

#include "app_win32/window_driver.h"
#include "editor/editor_texts.h"
#include "editor_win32/editor_ids.h"
#include "editor_win32/win32_editor_app.h"
#include "editor_win32/win32_list_text.h"
#include "settings/registry_store_win32.h"
#include "support/file_bytes.h"
#include "support/paths.h"
#include "support/temp_folder.h"
#include "win32_widgets/win32_message_box.h"

namespace tavlink::testing {

inline constexpr const char* kEditorSettingsKey = "SOFTWARE\\ZOR\\ZORLINK-editor-window-tests";

// " - ZOR Link Channel Editor" after `name`, with the modified mark.
inline std::string EditorTitle(const std::string& name, bool modified = false) {
  return editor::WindowTitle(name, modified);
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kEditorSettingsKey);
    path_ = folder_.File("factory_data.txt");
    WriteBytes(path_, ReadBytes(SampleDataText().string()));
  }
  void TearDown() override {
    Detach();
    // The windows are closed (a question about changes answered Yes by the
    // UiThread), so that the loop ends.
    if (app_ != nullptr) {
      for (HWND window : ThreadWindows(app_->Id(), true)) ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    app_.reset();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kEditorSettingsKey);
  }

  // Starts the editor with one window on `path` and waits for it; the
  // window's handle, or nullptr.
  HWND Start(const std::string& path, app::DeviceLister listDevices = NoSerialDevices) {
    app_ = std::make_unique<UiThread>([path, listDevices] {
      editor::EditorWindows windows(std::make_shared<RegistrySettingStore>(kEditorSettingsKey),
                                    listDevices);
      windows.Open().Logic().OpenPath(path);
      windows.Run();
    });
    // The name after the last separator, as bytes in the code page.
    const std::string name = path.substr(path.find_last_of("\\/") + 1);
    HWND window = WaitForWindow(app_->Id(), EditorTitle(name));
    if (window == nullptr) window = WaitForWindow(app_->Id(), EditorTitle(name, true));
    main_ = window;
    Attach();
    return window;
  }

  static std::vector<SerialDeviceInfo> NoSerialDevices() { return {}; }

  // The titles of the editor thread's windows, for a message when the one
  // looked for is not among them.
  std::string Titles() const {
    std::string titles;
    for (HWND window : ThreadWindows(app_->Id())) titles += "\"" + WindowText(window) + "\" ";
    return titles;
  }

  HWND Wait(const std::string& title, std::chrono::milliseconds limit = kWindowWait) {
    return WaitForWindow(app_->Id(), title, limit);
  }
  // An application box: the test program's own name as caption.
  HWND WaitForAppBox() { return Wait(app::ApplicationCaption()); }
  HWND Control(int id) const { return ::GetDlgItem(main_, id); }
  HWND Services() const { return Control(IDC_MAIN_SERVICES); }
  HWND Tree() const { return Control(IDC_MAIN_TREE); }

  // The test thread shares the editor thread's input: the focus and the
  // keyboard state.
  void Attach() {
    attached_ =
        app_ != nullptr && ::AttachThreadInput(::GetCurrentThreadId(), app_->Id(), TRUE) != 0;
  }
  void Detach() {
    if (attached_) ::AttachThreadInput(::GetCurrentThreadId(), app_->Id(), FALSE);
    attached_ = false;
  }

  // Presses `key` (with Ctrl and Shift as asked) on `target` once it has
  // the focus; returns without waiting for what the key starts.
  void Press(HWND target, WPARAM key, bool ctrl = false, bool shift = false) {
    ::SetFocus(target);
    SetModifiers(ctrl, shift);
    PressKey(target, key);
    // The modifiers are let go once the key has been taken from the queue.
    WaitUntil([&] {
      MSG peek;
      return ::PeekMessageA(&peek, target, WM_KEYDOWN, WM_KEYUP, PM_NOREMOVE) == 0;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SetModifiers(false, false);
  }
  static void SetModifiers(bool ctrl, bool shift) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = state[VK_LSHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(state);
    // The other thread's view of the state is refreshed after a moment.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }

  // The services table: its rows and the text of a cell.
  int RowCount() const {
    return static_cast<int>(::SendMessageW(Services(), LVM_GETITEMCOUNT, 0, 0));
  }
  std::string Cell(int row, editor::ServiceColumn column) const {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = editor::ListColumnOf(column);
    item.pszText = text;
    item.cchTextMax = 512;
    ::SendMessageW(Services(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    return editor::ListBytes(text);
  }
  std::string Name(int row) const { return Cell(row, editor::ServiceColumn::kName); }
  // Selects and focuses `row` alone.
  void SelectRow(int row) const {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    ::SendMessageW(Services(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(Services(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
  }
  bool WaitForName(int row, const std::string& name) const {
    return WaitUntil([&] { return Name(row) == name; });
  }
  bool WaitForTitle(const std::string& title) const {
    return WaitUntil([&] { return WindowText(main_) == title; });
  }

  // The tree's item whose text starts with `start` (satellites and their
  // transponders), or nullptr.
  HTREEITEM TreeItem(const std::string& start) const {
    const HWND tree = Tree();
    auto text = [&](HTREEITEM item) {
      wchar_t buffer[512] = {};
      TVITEMW data{};
      data.mask = TVIF_TEXT;
      data.hItem = item;
      data.pszText = buffer;
      data.cchTextMax = 512;
      ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
      return editor::ListBytes(buffer);
    };
    for (auto satellite =
             reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
         satellite != nullptr;
         satellite = reinterpret_cast<HTREEITEM>(::SendMessageW(
             tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(satellite)))) {
      if (text(satellite).rfind(start, 0) == 0) return satellite;
      for (auto child = reinterpret_cast<HTREEITEM>(::SendMessageW(
               tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(satellite)));
           child != nullptr;
           child = reinterpret_cast<HTREEITEM>(
               ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
        if (text(child).rfind(start, 0) == 0) return child;
      }
    }
    return nullptr;
  }
  int TreeChildCount(HTREEITEM parent) const {
    int count = 0;
    for (auto child = reinterpret_cast<HTREEITEM>(
             ::SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
         child != nullptr;
         child = reinterpret_cast<HTREEITEM>(
             ::SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
      ++count;
    }
    return count;
  }

  // The menu bar's entry `id`: its text.
  std::string MenuText(int id) const {
    wchar_t text[256] = {};
    ::GetMenuStringW(::GetMenu(main_), static_cast<UINT>(id), text, 256, MF_BYCOMMAND);
    return editor::ListBytes(text);
  }

  TempFolder folder_;
  std::string path_;
  std::unique_ptr<UiThread> app_;
  HWND main_ = nullptr;
  bool attached_ = false;
};

}  // namespace tavlink::testing
