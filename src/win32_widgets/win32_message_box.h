#pragma once
// The message boxes of the desktop tool on Windows. An application box
// carries the executable's file name without its extension as caption and
// the exclamation icon; the file-error box the stop icon; a box with a
// caption of its own ("ERROR", "Connect") no icon.
//
// Threading: the thread that owns `owner` (or any thread for nullptr);
// each call returns when the box has been dismissed.

#include <windows.h>

#include <string>
#include <string_view>

#include "transfer/transfer_view.h"

namespace tavlink::app {

// The executable's file name without its extension ("tavlink").
std::string ApplicationCaption();

// A modal box owned by `owner` (may be nullptr). An empty `caption` makes
// it an application box. The default button, which has the focus and
// takes Enter, is OK (OK, OK/Cancel) or No (Yes/No): Yes to the one Yes/No
// question, whether to stop a software upgrade, can leave a receiver
// without working software. Esc and the close box answer Cancel
// (OK/Cancel) or No (Yes/No).
BoxAnswer ShowBox(HWND owner, std::string_view text, std::string_view caption, BoxButtons buttons);

// The file-error box: application caption, stop icon, OK.
void ShowStopBox(HWND owner, std::string_view text);

// The serial device's error box: `caption`, information icon, OK.
void ShowInformationBox(HWND owner, std::string_view caption, std::string_view text);

}  // namespace tavlink::app
