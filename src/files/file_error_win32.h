#pragma once
// The file side's error numbers for Windows failures: the errno value that
// says the same (ERROR_FILE_NOT_FOUND is ENOENT), or kErrorInUse for a file
// that another program holds open. Windows only.

namespace tavlink {

// `code` is a GetLastError() value; one without an errno counterpart is
// EIO.
int FileErrorFromWin32(unsigned long code);

// The file error of the last failed Windows call on this thread.
int LastFileError();

}  // namespace tavlink
