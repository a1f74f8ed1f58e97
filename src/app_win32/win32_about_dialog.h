#pragma once
// The About box on Win32 (dialog 100): icon, "ZOR Link Version 1.6", the
// maker's line, OK (1), and between the two lines the invisible strip 1020
// (owner-drawn, drawing nothing) that shows a one-line application box when
// clicked.
//
// Threading: user-interface thread only.

#include <windows.h>

namespace tavlink::app {

// Runs the About box modally over `owner` (may be nullptr).
void RunAboutDialog(HWND owner);

}  // namespace tavlink::app
