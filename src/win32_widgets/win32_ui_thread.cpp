// Work on a window's own thread.
#include "win32_widgets/win32_ui_thread.h"

namespace tavlink::app {

void RunOnWindowThread(HWND window, const std::function<void()>& work) {
  if (window == nullptr || ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
    work();
    return;
  }
  ::SendMessageA(window, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&work));
}

void HandleRunOnWindowThread(LPARAM lParam) {
  (*reinterpret_cast<const std::function<void()>*>(lParam))();
}

}  // namespace tavlink::app
