// Saving files on Windows: GetFinalPathNameByHandle to follow a symbolic
// link, CreateFile with CREATE_NEW for the temporary file, MoveFileEx to put
// it in place, and SetEndOfFile to reserve room before a file is rewritten
// in place. Windows has no permission bits to carry over; the attributes
// that say how a file is shown (hidden, system, not indexed) are.
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "files/file_error_win32.h"
#include "files/handle_stream_win32.h"
#include "files/saved_file.h"

namespace tavlink {
namespace {

constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The folder part of `path`, with its final separator ("C:" for "C:name");
// empty for a bare name.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) return path.substr(0, slash + 1);
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return {};
}

// `path` without the "\\?\" prefix that GetFinalPathNameByHandle puts in
// front, where the plain form means the same.
std::string WithoutLongPrefix(const std::string& path) {
  constexpr std::string_view kLong = "\\\\?\\";
  constexpr std::string_view kUnc = "\\\\?\\UNC\\";
  if (path.size() >= MAX_PATH) return path;
  if (path.starts_with(kUnc)) return "\\\\" + path.substr(kUnc.size());
  if (path.starts_with(kLong) && path.size() > kLong.size() + 1 && path[kLong.size() + 1] == ':')
    return path.substr(kLong.size());
  return path;
}

bool IsNotFound(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::optional<std::string> ResolveSaveTarget(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return path;  // not a link; a missing file is the target as named
  // Opening follows the link to the file it names; the system tells its path.
  const HANDLE handle =
      ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (IsNotFound(code)) return path;  // a link to nothing: replaced as named
    errno = FileErrorFromWin32(code);
    return std::nullopt;
  }
  std::string final(MAX_PATH, '\0');
  DWORD length = ::GetFinalPathNameByHandleA(handle, final.data(), static_cast<DWORD>(final.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length >= final.size()) {
    final.resize(length + 1);
    length = ::GetFinalPathNameByHandleA(handle, final.data(), static_cast<DWORD>(final.size()),
                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  }
  const DWORD code = ::GetLastError();
  ::CloseHandle(handle);
  if (length == 0 || length >= final.size()) {
    errno = FileErrorFromWin32(code);
    return std::nullopt;
  }
  final.resize(length);
  return WithoutLongPrefix(final);
}

std::optional<ReplacementFile> ReplacementFile::Create(const std::string& target) {
  const std::string folder = FolderOf(target);
  std::string temp;
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < detail::kTemporaryNameAttempts && handle == INVALID_HANDLE_VALUE;
       ++attempt) {
    temp = folder + detail::TemporaryName();
    // Deleting stays possible while it is open, so that leaving at once
    // can remove it.
    handle = ::CreateFileA(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                           nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD code = ::GetLastError();
      if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
        errno = FileErrorFromWin32(code);
        return std::nullopt;
      }
    }
  }
  if (handle == INVALID_HANDLE_VALUE) {
    errno = EEXIST;
    return std::nullopt;
  }
  const DWORD existing = ::GetFileAttributesA(target.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      (existing & kKeptAttributes) != 0) {
    FILE_BASIC_INFO basic{};  // times of zero stay as they are
    basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE | (existing & kKeptAttributes);
    // How the file is shown is worth keeping, not worth failing the save.
    ::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
  }
  std::FILE* file = StreamFromHandle(handle, "wb");
  if (file == nullptr) {
    const int error = errno;
    ::DeleteFileA(temp.c_str());
    errno = error;
    return std::nullopt;
  }
  return ReplacementFile(file, std::move(temp), target);
}

bool ReplacementFile::Commit() {
  int error = std::ferror(file_) ? EIO : 0;
  if (error == 0 && std::fflush(file_) != 0) error = errno;
  if (error == 0 &&
      !::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file_)))))
    error = LastFileError();
  if (std::fclose(std::exchange(file_, nullptr)) != 0 && error == 0) error = errno;
  if (error == 0 && !::MoveFileExA(temp_.c_str(), target_.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = LastFileError();
  if (error == 0) return true;
  ::DeleteFileA(temp_.c_str());
  errno = error;
  return false;
}

bool OverwriteInPlace(int fd, std::string_view contents) {
  const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return false;
  }
  auto fail = [] {
    errno = LastFileError();
    return false;
  };
  const bool plain = ::GetFileType(handle) == FILE_TYPE_DISK;
  if (plain) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle, &size)) return fail();
    // Growing the file first claims the room: a full disk fails here,
    // before a byte of the old contents changes.
    if (static_cast<uint64_t>(size.QuadPart) < contents.size()) {
      LARGE_INTEGER end{};
      end.QuadPart = static_cast<LONGLONG>(contents.size());
      if (!::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle))
        return fail();
    }
    if (!::SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return fail();
  }
  while (!contents.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size(), 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(handle, contents.data(), chunk, &written, nullptr)) return fail();
    if (written == 0) {
      errno = EIO;
      return false;
    }
    contents.remove_prefix(written);
  }
  if (!plain) return true;
  return (::SetEndOfFile(handle) && ::FlushFileBuffers(handle)) || fail();
}

}  // namespace tavlink
