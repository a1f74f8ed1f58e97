#pragma once
// The file dialog as both Qt front ends set it up.
//
// Threading: user-interface thread only.

#include "app/link_shell.h"

class QFileDialog;

namespace tavlink::app {

// Sets up `dialog` as the open form for `choice`: any name accepted, the
// initial name in the current folder, the type list shown with its labels
// as given ("All files (*.*)" lists every file, with a dot or not).
void ConfigureOpenDialog(QFileDialog& dialog, const FileChoice& choice);

}  // namespace tavlink::app
