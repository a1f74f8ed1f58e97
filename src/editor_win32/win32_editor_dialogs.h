#pragma once
// The channel editor's own dialogs on Win32, on the templates of
// resources/tavlink-editor.rc: the preview of a write (receiver line,
// summary, listing, the verify check, Write or Cancel), a report (summary,
// listing, Close), a number in a range, one of a list, and the form of a
// satellite or transponder. Each runs modally over `owner` (may be
// nullptr) and returns when dismissed; Esc and the close box cancel.
//
// Threading: the thread that owns `owner`.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor_shell.h"
#include "editor/record_forms.h"

namespace tavlink::editor {

PreviewAnswer RunPreviewDialog(HWND owner, const WritePreview& preview);
void RunReportDialog(HWND owner, const Report& report);
// A number from `low` to `high`; a typed number outside them is told and
// the dialog stays.
std::optional<int> RunNumberDialog(HWND owner, std::string_view text, int value, int low, int high);
std::optional<int> RunChoiceDialog(HWND owner, std::string_view text,
                                   const std::vector<std::string>& items, int current);
// The form's texts in its fields' order after OK.
std::optional<std::vector<std::string>> RunRecordDialog(HWND owner, const RecordForm& form);

}  // namespace tavlink::editor
