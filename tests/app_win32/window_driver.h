#pragma once
// Drives the desktop tool's Win32 windows from a test, as a user would:
// the windows run on a thread of their own (UiThread), and the test finds
// them by title among that thread's top-level windows, finds controls by
// identifier (GetDlgItem), clicks buttons with a posted BM_CLICK, reads
// texts, and answers message boxes. Every wait has a generous limit and
// returns false (or nullptr) when it passes, so a fault fails the test
// instead of hanging it.
//
// Threading: the helpers are called on the test's thread; texts are read
// by messages that the window's thread answers from its modal loop.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/wait_until.h"

namespace tavlink::testing {

inline constexpr auto kWindowWait = std::chrono::seconds(30);

// The top-level windows of `thread`, visible ones only unless `all`.
inline std::vector<HWND> ThreadWindows(DWORD thread, bool all = false) {
  struct Found {
    std::vector<HWND> windows;
    bool all;
  } found{{}, all};
  ::EnumThreadWindows(
      thread,
      [](HWND window, LPARAM context) -> BOOL {
        auto* f = reinterpret_cast<Found*>(context);
        if (f->all || ::IsWindowVisible(window)) f->windows.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

inline std::string WindowText(HWND window) {
  char text[4096] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

inline std::string ItemText(HWND dialog, int id) {
  return WindowText(::GetDlgItem(dialog, id));
}

// Waits for `done` as long as for a window (kWindowWait).
inline bool WaitUntil(const std::function<bool()>& done) {
  return WaitUntil(done, kWindowWait);
}

// The visible top-level window of `thread` titled `title`, once it is
// there and takes input (it is the top modal window); nullptr after the
// limit.
inline HWND WaitForWindow(DWORD thread, const std::string& title,
                          std::chrono::milliseconds limit = kWindowWait) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : ThreadWindows(thread))
          if (::IsWindowEnabled(window) && WindowText(window) == title) found = window;
        return found != nullptr;
      },
      limit);
  return found;
}

inline bool WaitUntilGone(HWND window, std::chrono::milliseconds limit = kWindowWait) {
  return WaitUntil([window] { return !::IsWindow(window) || !::IsWindowVisible(window); }, limit);
}

inline bool WaitForItemText(HWND dialog, int id, const std::string& text,
                            std::chrono::milliseconds limit = kWindowWait) {
  return WaitUntil([&] { return ItemText(dialog, id) == text; }, limit);
}

// Clicks button `id` of `dialog` as the mouse would (BM_CLICK), without
// waiting for what the click starts.
inline bool Click(HWND dialog, int id) {
  const HWND button = ::GetDlgItem(dialog, id);
  return button != nullptr && ::PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

// The text of a message box: its longest static text.
inline std::string BoxText(HWND box) {
  struct Found {
    std::string text;
  } found;
  ::EnumChildWindows(
      box,
      [](HWND child, LPARAM context) -> BOOL {
        char name[32] = {};
        ::GetClassNameA(child, name, sizeof name);
        const std::string text = WindowText(child);
        auto* f = reinterpret_cast<Found*>(context);
        if (lstrcmpiA(name, "Static") == 0 && text.size() > f->text.size()) f->text = text;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.text;
}

// The identifier of the dialog's default push button (the one drawn as
// default, which Enter presses while it has the focus), or 0.
inline int DefaultButton(HWND dialog) {
  int found = 0;
  ::EnumChildWindows(
      dialog,
      [](HWND child, LPARAM context) -> BOOL {
        char name[32] = {};
        ::GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Button") == 0 &&
            (::GetWindowLongPtrA(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
          *reinterpret_cast<int*>(context) = ::GetDlgCtrlID(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Every text of `window`'s controls, in their order.
inline std::vector<std::string> ChildTexts(HWND window) {
  std::vector<std::string> texts;
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        reinterpret_cast<std::vector<std::string>*>(context)->push_back(WindowText(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// The control that has the keyboard focus on `thread`.
inline HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Presses `key` on the control `target` as the keyboard would: the
// dialog's modal loop sees it first (Enter, Esc, Tab).
inline void PressKey(HWND target, WPARAM key) {
  ::PostMessageA(target, WM_KEYDOWN, key, 1);
  ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// The common file dialog: its file name field (cmb13 in the Explorer look,
// edt1 in the old one) and its type list (cmb1).
inline HWND FileNameField(HWND dialog) {
  for (int id : {0x47c, 0x480})
    if (const HWND field = ::GetDlgItem(dialog, id)) return field;
  return nullptr;
}
inline std::string FileDialogName(HWND dialog) {
  return WindowText(FileNameField(dialog));
}
inline std::vector<std::string> FileDialogFilters(HWND dialog) {
  const HWND types = ::GetDlgItem(dialog, 0x470);
  std::vector<std::string> labels;
  const LRESULT count = ::SendMessageA(types, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char label[512] = {};
    ::SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(label));
    labels.push_back(label);
  }
  return labels;
}
// Types `path` into the file name field and presses Open.
inline void ChooseInFileDialog(HWND dialog, const std::string& path) {
  ::SendMessageA(FileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  Click(dialog, IDOK);
}

// Records the title of every window created on a thread (a CBT hook), so
// that a test can tell that a window never appeared.
class CreatedWindows {
 public:
  explicit CreatedWindows(DWORD thread) {
    current_ = this;
    hook_ = ::SetWindowsHookExA(WH_CBT, &CreatedWindows::Hook, nullptr, thread);
  }
  ~CreatedWindows() {
    if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  CreatedWindows(const CreatedWindows&) = delete;
  CreatedWindows& operator=(const CreatedWindows&) = delete;

  bool Hooked() const { return hook_ != nullptr; }
  std::vector<std::string> Titles() const {
    std::lock_guard lock(mutex_);
    return titles_;
  }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && current_ != nullptr) {
      const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
      if (create->hwndParent == nullptr || !(create->style & WS_CHILD)) {
        std::lock_guard lock(current_->mutex_);
        current_->titles_.push_back(create->lpszName != nullptr && !IS_INTRESOURCE(create->lpszName)
                                        ? create->lpszName
                                        : "");
      }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline CreatedWindows* current_ = nullptr;
  HHOOK hook_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<std::string> titles_;
};

// Runs `body` (which creates windows and runs them modally) on a thread of
// its own. The destructor ends what is still open, as a user would: Yes to
// a question (so that a running transfer may stop), Cancel elsewhere, and
// joins the thread.
class UiThread {
 public:
  explicit UiThread(std::function<void()> body) : body_(std::move(body)) {
    thread_ = std::thread([this] {
      threadId_ = ::GetCurrentThreadId();
      // A message queue before anyone looks for the thread's windows.
      MSG message;
      ::PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
      started_ = true;
      body_();
      finished_ = true;
    });
    WaitUntil([this] { return started_.load(); });
  }
  ~UiThread() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!finished_ && std::chrono::steady_clock::now() < end) {
      for (HWND window : ThreadWindows(threadId_)) {
        if (!::IsWindowEnabled(window)) continue;
        if (::GetDlgItem(window, IDYES) != nullptr)
          Click(window, IDYES);
        else
          ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    if (!finished_) std::abort();  // a window that cannot be closed: stop rather than hang
    thread_.join();
  }
  UiThread(const UiThread&) = delete;
  UiThread& operator=(const UiThread&) = delete;

  DWORD Id() const { return threadId_; }
  bool Finished() const { return finished_; }
  bool WaitFinished(std::chrono::milliseconds limit = kWindowWait) const {
    return WaitUntil([this] { return finished_.load(); }, limit);
  }

 private:
  std::function<void()> body_;
  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> started_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace tavlink::testing
