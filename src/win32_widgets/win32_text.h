#pragma once
// Text for the wide-character calls of the window system (texts that hold
// characters beyond the code page, such as the port dialog's arrow): the
// program's narrow strings are in the process's code page (UTF-8 where the
// manifest's request is honoured), as the file and device calls take them.

#include <string>

namespace tavlink::app {

// `text` from the process's code page as UTF-16; "" when it cannot be
// converted.
std::wstring Widen(const std::string& text);

// `text` from UTF-16 in the process's code page; "" when it cannot be
// converted.
std::string Narrow(const std::wstring& text);

}  // namespace tavlink::app
