#pragma once
// The common file dialog (ANSI form, so that the chosen path is in the
// process's code page as the file calls take it) for a FileChoice: its
// type list in the order given, the first one selected, the initial name
// filled in.
//
// Threading: the thread that owns `owner` (or any thread for nullptr);
// returns when the dialog has been dismissed.

#include <windows.h>

#include <optional>
#include <string>

#include "app/link_shell.h"

namespace tavlink::app {

enum class FileDialogForm {
  // The open form with no options, as the desktop tool has always shown
  // it: its read-only box (ignored), the name of a file that does not
  // exist taken, nothing asked before a file is replaced.
  kPlainOpen,
  // The open form that takes only a file that exists.
  kOpenExisting,
  // The save form, which asks before replacing a file.
  kSave,
};

// The chosen path, or nothing when the dialog was cancelled.
std::optional<std::string> RunFileDialog(HWND owner, const FileChoice& choice, FileDialogForm form);

// The filter string of the common file dialog for `choice`: each label
// and pattern ended by a zero, the whole ended by one more.
std::string FileDialogFilter(const FileChoice& choice);

}  // namespace tavlink::app
