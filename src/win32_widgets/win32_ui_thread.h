#pragma once
// Runs a piece of work on the thread of a window on behalf of another
// thread (the transfer's worker): directly when the caller is that thread,
// otherwise by a synchronous send of kRunOnWindowThread, which returns when
// the window's thread has done the work. The window's procedure passes the
// message to HandleRunOnWindowThread.
//
// Threading: `window` must belong to a thread that takes messages (a modal
// loop, a message box) and outlive the call; the caller must not hold
// anything that thread waits for.

#include <windows.h>

#include <functional>

namespace tavlink::app {

// A private message of the desktop tool's windows: lParam points at the
// std::function<void()> to run.
inline constexpr UINT kRunOnWindowThread = WM_APP + 1;

void RunOnWindowThread(HWND window, const std::function<void()>& work);

// Runs the work that a kRunOnWindowThread message carries.
void HandleRunOnWindowThread(LPARAM lParam);

}  // namespace tavlink::app
