// Input files on Windows: CreateFile with read sharing only, which is the
// shared lock (other readers may open the file, a program that writes it
// may not, and one that has it open for writing keeps us out), and
// GetFileType to refuse devices and pipes.
#include <windows.h>

#include <cerrno>

#include "files/file_error.h"
#include "files/file_error_win32.h"
#include "files/handle_stream_win32.h"
#include "files/input_file.h"

namespace tavlink {

std::optional<InputFile> OpenInputFile(const std::string& path, int* error) {
  auto fail = [error](int why) -> std::optional<InputFile> {
    *error = why;
    return std::nullopt;
  };
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return fail(EISDIR);
  const HANDLE handle =
      ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return fail(LastFileError());
  LARGE_INTEGER size{};
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    return fail(kErrorNotPlainFile);
  }
  if (!::GetFileSizeEx(handle, &size)) {
    const int why = LastFileError();
    ::CloseHandle(handle);
    return fail(why);
  }
  std::FILE* stream = StreamFromHandle(handle, "rb");
  if (stream == nullptr) return fail(errno);
  return InputFile{StreamPtr(stream), static_cast<uint64_t>(size.QuadPart)};
}

}  // namespace tavlink
