#pragma once
// An editor window on Win32: the antenna configuration, the satellites
// with their transponders (a tree view) and the history on the left, the
// filter row and the services (a virtual list view, win32_service_list.h)
// on the right, the counts in the status bar; a text the reader refused
// takes the window's place (a multi-line edit at the reader's line with
// the reader's message) until it reads. The menu and the keys are the Qt
// editor's (win32_editor_commands.h); every command runs through
// EditorLogic, the window only shows.
//
// Keys: Ctrl+Up/Down move, Ctrl+Home/End to the top or bottom, Del
// deletes, F2 renames in place (or changes the satellite or transponder),
// Space toggles the favourite, Ctrl+F goes to the filter, Ctrl+Z/Ctrl+Y
// undo and redo, Tab goes from control to control. Moves, deletes and F2
// act on the tree when it has the focus, else on the services. A click on
// a column's header sorts the list by it (as Sort By does); rows dragged
// within the list are moved there.
//
// The window's construction, layout and views are in
// win32_editor_window.cpp, its commands in win32_editor_window_commands.cpp.
//
// Threading: user-interface thread only; the program's message loop
// (win32_editor_app.h) hands each message to PreTranslate first.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_logic.h"
#include "editor_win32/win32_editor_commands.h"
#include "editor_win32/win32_editor_shell.h"
#include "editor_win32/win32_gdi.h"
#include "editor_win32/win32_satellite_tree.h"
#include "editor_win32/win32_service_list.h"

namespace tavlink::editor {

class Win32EditorWindow {
 public:
  using OpenWindow = std::function<void(std::unique_ptr<EditorDocument>)>;
  // Creates the window (hidden): `store` holds the settings every window
  // shares; `document` is what it opens with (an untitled list when null);
  // `openWindow` opens another window (Read from Receiver over unsaved
  // changes).
  Win32EditorWindow(std::shared_ptr<SettingStore> store, std::unique_ptr<EditorDocument> document,
                    app::DeviceLister listDevices, OpenWindow openWindow);
  ~Win32EditorWindow();
  Win32EditorWindow(const Win32EditorWindow&) = delete;
  Win32EditorWindow& operator=(const Win32EditorWindow&) = delete;

  HWND Window() const { return window_; }
  // True once the window has been closed and destroyed.
  bool Closed() const { return window_ == nullptr; }
  EditorLogic& Logic() { return *logic_; }

  // Accelerators and the dialog manager's Tab keys for a message of this
  // window or its controls; true when it was handled.
  bool PreTranslate(MSG& message);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id,
                  DWORD exStyle = 0);
  void ApplyFonts();
  void Layout();
  void OnCommand(int id, int code);
  LRESULT OnNotify(NMHDR& header);
  void OnDpiChanged(int dpi, const RECT& suggested);

  // Following the logic.
  void OnDocumentReplaced();
  void OnChange(const channels::ListChange& change);
  void Refresh();
  void ShowPage(bool repairing);
  void RebuildTree();
  void RebuildSatelliteFilter();
  void RebuildRecentMenu();
  void RebuildHistory();
  void ApplyFilter();
  void OnRepairTextChanged();
  void ShowRepairLine();

  // Selections.
  bool TreeHasFocus() const;
  // Runs an edit of the selected services and selects them again.
  void OnServices(const std::function<void(const std::vector<channels::ServiceId>&)>& edit);

  // Commands.
  void Move(channels::MoveTo to);
  void Delete();
  void Rename();
  void Cut();
  void Paste();
  void AddTransponder();
  void ChangeRecord();
  void FinishRename();
  void Drop(POINT where);

  int Scale(int pixels) const { return ::MulDiv(pixels, dpi_, 96); }

  std::shared_ptr<SettingStore> store_;
  std::unique_ptr<Win32EditorShell> shell_;
  std::unique_ptr<EditorLogic> logic_;
  OwnedAccelerators accelerators_;

  HWND window_ = nullptr;
  int dpi_ = 96;
  OwnedFont font_, bold_, fixed_;
  HWND antennaLabel_ = nullptr, antenna_ = nullptr;
  SatelliteTree tree_;
  HWND historyLabel_ = nullptr, history_ = nullptr;
  HWND filterLabel_ = nullptr, filterName_ = nullptr, filterSatellite_ = nullptr;
  HWND filterKind_ = nullptr, filterFavourites_ = nullptr, filterTransponder_ = nullptr;
  ServiceListView services_;
  HWND status_ = nullptr;
  HWND repairIntro_ = nullptr, repairMessage_ = nullptr, repairText_ = nullptr;
  HWND repairContinue_ = nullptr;
  HMENU recentMenu_ = nullptr;
  std::vector<std::string> recentShown_;  // the files Open Recent shows now
  bool filling_ = false;                  // the window sets its own controls: no commands
  size_t serviceCount_ = 0;  // of the tree's last build, to tell when its counts change
  // A name typed in place, applied once the list view's edit has closed.
  channels::ServiceId renamed_;
  std::wstring renamedText_;
  bool dragging_ = false;
};

}  // namespace tavlink::editor
