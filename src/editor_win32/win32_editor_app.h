#pragma once
// The channel editor's windows in one program: each window that Read from
// Receiver opens joins them, and the message loop runs until the last one
// has been closed. The loop hands each message to its window's
// PreTranslate (accelerators, Tab) before dispatching it.
//
// Threading: made, run and destroyed on one thread, the user-interface
// thread.

#include <memory>
#include <vector>

#include "editor_win32/win32_editor_window.h"

namespace tavlink::editor {

class EditorWindows {
 public:
  EditorWindows(std::shared_ptr<SettingStore> store, app::DeviceLister listDevices);
  EditorWindows(const EditorWindows&) = delete;
  EditorWindows& operator=(const EditorWindows&) = delete;

  // A new window, shown, with `document` (an untitled list when null).
  Win32EditorWindow& Open(std::unique_ptr<EditorDocument> document = nullptr);
  // Takes messages until every window has been closed (or WM_QUIT).
  void Run();

 private:
  std::shared_ptr<SettingStore> store_;
  app::DeviceLister listDevices_;
  std::vector<std::unique_ptr<Win32EditorWindow>> windows_;
};

}  // namespace tavlink::editor
