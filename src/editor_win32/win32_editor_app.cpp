// The editor's windows and their message loop.
#include "editor_win32/win32_editor_app.h"

#include <algorithm>

namespace tavlink::editor {

EditorWindows::EditorWindows(std::shared_ptr<SettingStore> store, app::DeviceLister listDevices)
    : store_(std::move(store)), listDevices_(std::move(listDevices)) {}

Win32EditorWindow& EditorWindows::Open(std::unique_ptr<EditorDocument> document) {
  windows_.push_back(std::make_unique<Win32EditorWindow>(
      store_, std::move(document), listDevices_,
      [this](std::unique_ptr<EditorDocument> read) { Open(std::move(read)); }));
  return *windows_.back();
}

void EditorWindows::Run() {
  // A closed window is dropped here, between messages, never while one of
  // its own commands runs.
  auto dropClosed = [this] {
    std::erase_if(windows_, [](const auto& window) { return window->Closed(); });
  };
  dropClosed();
  MSG message;
  while (!windows_.empty() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
    const bool handled = std::any_of(windows_.begin(), windows_.end(), [&](const auto& window) {
      return window->PreTranslate(message);
    });
    if (!handled) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    dropClosed();
  }
}

}  // namespace tavlink::editor
