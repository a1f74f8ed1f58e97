#pragma once
// The message boxes of the desktop tool. An application box carries the
// executable's file name without its extension as caption and the
// exclamation icon; the file-error box the stop icon.
//
// Threading: user-interface thread only; each call returns when the box
// has been dismissed.

#include <QString>
#include <string_view>

#include "transfer/transfer_view.h"

class QWidget;

namespace tavlink::app {

// The executable's file name without its extension ("tavlink").
QString ApplicationCaption();

// A modal box over `parent` (may be nullptr). An empty `caption` makes it
// an application box. The default button, which has the focus and takes
// Enter, is OK (OK, OK/Cancel) or No (Yes/No). Esc and the close box answer
// Cancel (OK/Cancel) or No (Yes/No). The text is shown as plain text.
BoxAnswer ShowBox(QWidget* parent, std::string_view text, std::string_view caption,
                  BoxButtons buttons);

// The file-error box: application caption, stop icon, OK.
void ShowStopBox(QWidget* parent, std::string_view text);

}  // namespace tavlink::app
