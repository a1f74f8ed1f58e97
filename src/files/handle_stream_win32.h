#pragma once
// A C stream over a Windows file handle, so that the portable code reads and
// writes through stdio while the file was opened with the share modes and
// flags that only CreateFile offers. Windows only.

#include <cstdio>

namespace tavlink {

// Wraps `handle` (a HANDLE from CreateFile) in a stream opened with `mode`
// ("rb", "wb", "w+b"); the stream owns the handle from then on. Null, with
// errno set and the handle closed, when that fails.
std::FILE* StreamFromHandle(void* handle, const char* mode);

// The CRT descriptor over `handle`, which it owns from then on; -1, with
// errno set and the handle closed, when that fails.
int DescriptorFromHandle(void* handle, int flags);

}  // namespace tavlink
