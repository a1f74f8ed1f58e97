#pragma once
// The set-up every dialog form of the desktop tool gets right after its
// widgets have been made: the geometry in dialog units (dialog_units.h) and
// the keys of the platform's dialogs. Enter activates the push button that
// has the focus, and the form's default button only while the focus is on
// something that is not a push button (a radio button, or nothing). Esc
// stays the Cancel command.
//
// Threading: user-interface thread only.

class QDialog;

namespace tavlink::app {

// Call once per dialog, right after setupUi.
void SetUpForm(QDialog* form);

}  // namespace tavlink::app
