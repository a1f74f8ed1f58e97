#pragma once
// The system menu's "Channel Editor..." on Win32: starts tavlink-editor.exe
// from the running program's own folder, as a process of its own that
// outlives the tool; when it cannot be started, an application box over
// `owner` says so with the path.
//
// Threading: user-interface thread only.

#include <windows.h>

namespace tavlink::app {

// True when the editor was started.
bool StartChannelEditor(HWND owner);

}  // namespace tavlink::app
