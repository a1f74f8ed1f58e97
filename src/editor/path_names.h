#pragma once
// The file names the editor shows and keeps, from the narrow paths the file
// calls take (UTF-8 on Linux; the process's code page on Windows, UTF-8
// where the manifest's request is honoured). The standard library's paths
// would read a narrow string in another encoding on Windows, so the
// platform's own calls do it (path_names_posix.cpp, path_names_win32.cpp).

#include <string>

namespace tavlink::editor {

// The file's name without its folder: "sample.txt" of "C:\lists\sample.txt".
std::string FileNameOf(const std::string& path);

// `path` made absolute against the current folder and without "." and ".."
// steps; `path` itself when that cannot be done.
std::string AbsolutePath(const std::string& path);

}  // namespace tavlink::editor
