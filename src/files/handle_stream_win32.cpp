#include "files/handle_stream_win32.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

namespace tavlink {

int DescriptorFromHandle(void* handle, int flags) {
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
  if (fd < 0) {
    const int error = errno != 0 ? errno : EMFILE;
    ::CloseHandle(handle);
    errno = error;
  }
  return fd;
}

std::FILE* StreamFromHandle(void* handle, const char* mode) {
  const int flags = std::strchr(mode, '+') != nullptr ? _O_RDWR
                    : mode[0] == 'r'                  ? _O_RDONLY
                                                      : _O_WRONLY;
  const int fd = DescriptorFromHandle(handle, flags);
  if (fd < 0) return nullptr;
  std::FILE* stream = ::_fdopen(fd, mode);
  if (stream == nullptr) {
    const int error = errno;
    ::_close(fd);  // closes the handle too
    errno = error;
  }
  return stream;
}

}  // namespace tavlink
