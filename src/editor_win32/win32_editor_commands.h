#pragma once
// The channel editor's menu bar and keys on Win32: the same menus, entries
// and keys as the Qt editor (File, Edit, Services, Satellites), each entry
// a command identifier of editor_ids.h, each key an accelerator of that
// command, its name shown after the entry's text.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tavlink::editor {

struct AcceleratorDeleter {
  void operator()(HACCEL table) const { ::DestroyAcceleratorTable(table); }
};
using OwnedAccelerators = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDeleter>;

// The menu bar; Open Recent is the File menu's popup `*recent` (filled
// when it opens). The window that takes the menu destroys it.
HMENU BuildEditorMenu(HMENU* recent);
OwnedAccelerators BuildEditorAccelerators();

// Whether command `id` works on the tables (greyed while a text is mended).
bool NeedsTables(int id);

// Whether the key of `message` belongs to the control that has the focus
// rather than to a command: in an edit control typing, Space, Delete, the
// edit's own Ctrl+X/C/V/Z/Y/A and the caret's Ctrl keys; on a button or a
// check box Space, which presses it.
bool FocusKeepsKey(const MSG& message);

}  // namespace tavlink::editor
