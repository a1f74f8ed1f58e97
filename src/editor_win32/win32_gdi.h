#pragma once
// Fonts of the editor's windows, owned (RAII): the message font at a
// window's DPI, a bold and a fixed-pitch one like a given font.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tavlink::editor {

struct FontDeleter {
  void operator()(HFONT font) const { ::DeleteObject(font); }
};
using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The system's message font at `dpi` (96 is 100 %).
OwnedFont MessageFont(int dpi);
// `font` in bold, or in a fixed pitch at its height.
OwnedFont BoldFont(HFONT font);
OwnedFont FixedFont(HFONT font);

// The dots per inch `window` is shown at: its monitor's where the system
// tells them per monitor, else the system's.
int WindowDpi(HWND window);

}  // namespace tavlink::editor
