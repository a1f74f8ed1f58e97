#pragma once
// The port setup dialog on Win32 (dialog 131, "Communication Setup"):
// radio buttons 1012 (COM1) and 1013 (COM2), OK (1) and Cancel (2) where
// the original has them; below the group box, per port a drop-down of the
// devices it may lead to (1023 for COM1, 1024 for COM2) and a grey line
// telling which device it opens and why (1025, 1026). A port whose device
// the environment names shows that device in a disabled drop-down.
//
// Threading: user-interface thread only.

#include <windows.h>

#include <optional>
#include <string>

#include "app/port_choice.h"

namespace tavlink::app {

// Runs the dialog modally over `owner` (may be nullptr) for `offer`: COM1
// selected when offer.currentPort is 1, COM2 for any other value, each
// port's device list with its current entry. Returns the port (1 or 2) and
// the devices chosen after OK, nothing after Cancel, Esc or the close box.
std::optional<PortChoice> RunPortDialog(HWND owner, const PortDialogOffer& offer);

// "COM1 → \\.\COM1 (default)": where port n leads and why.
std::wstring PortDeviceLine(int portNumber, const ComDevice& device);

}  // namespace tavlink::app
