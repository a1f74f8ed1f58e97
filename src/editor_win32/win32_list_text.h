#pragma once
// The list's texts in the window system's wide calls. A list's names are
// single bytes as the receiver stores them, read as Latin-1 (as the Qt
// editor shows them); a wide character beyond Latin-1 becomes '?', which
// the model then judges like any other character.

#include <windows.h>

#include <string>
#include <string_view>

namespace tavlink::editor {

std::wstring ListWide(std::string_view text);
std::string ListBytes(std::wstring_view text);

// For a multi-line edit control, which breaks lines only at CR LF: every
// lone LF becomes CR LF.
std::wstring WithCrLf(std::string_view text);

// The whole text of `window` (a control) as wide characters.
std::wstring WideText(HWND window);

}  // namespace tavlink::editor
