// SaveTarget on Windows: CreateFile with read and delete sharing holds the
// target (a program that writes it, or a reader that locks it as this tool
// does, is kept out), the file's volume and index tell whether it is the
// input, and a temporary file that goes when closed keeps the contents
// until Commit when the target is rewritten in place.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "files/file_error.h"
#include "files/file_error_win32.h"
#include "files/handle_stream_win32.h"
#include "files/save_target.h"

namespace tavlink {
namespace {

struct FileId {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
  bool operator==(const FileId&) const = default;
};

// Which file `path` is, when it exists and can be asked.
std::optional<FileId> IdOf(const std::string& path) {
  const HANDLE handle =
      ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = ::GetFileInformationByHandle(handle, &info);
  ::CloseHandle(handle);
  if (!known) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// Opens `path` for writing with the sharing that holds it for this command:
// others may read it, and deleting it stays possible so that leaving at
// once can remove a file made here.
HANDLE OpenHeld(const std::string& path, DWORD disposition) {
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A stream over a file in the user's temporary folder that is removed when
// closed: where the contents wait for a rewrite in place.
std::FILE* ScratchStream() {
  char folder[MAX_PATH + 1] = {};
  char name[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH || ::GetTempFileNameA(folder, "tav", 0, name) == 0) {
    errno = LastFileError();
    return nullptr;
  }
  const HANDLE handle = ::CreateFileA(
      name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, TRUNCATE_EXISTING,
      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = LastFileError();
    ::DeleteFileA(name);
    return nullptr;
  }
  return StreamFromHandle(handle, "w+b");
}

// Everything written to `stream`, from its start.
bool ReadBack(std::FILE* stream, std::string* contents) {
  if (std::fseek(stream, 0, SEEK_SET) != 0) return false;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, stream)) > 0) contents->append(chunk, n);
  return !std::ferror(stream);
}

}  // namespace

// Windows has no FIFOs to wait for: `waitForReader` changes nothing here.
bool SaveTarget::Open(const std::string& path, const std::string& input, bool, int* error) {
  auto fail = [error](int why) {
    *error = why;
    return false;
  };
  const std::optional<std::string> resolved = ResolveSaveTarget(path);
  if (!resolved) return fail(errno);
  target_ = *resolved;

  const DWORD attributes = ::GetFileAttributesA(target_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return fail(EISDIR);
  if (!input.empty()) {
    const std::optional<FileId> output = IdOf(target_);
    if (output && output == IdOf(input)) return fail(kErrorIsTheInput);
  }

  // Held for the whole command when it exists.
  bool exists = false;
  bool plain = true;
  const HANDLE held = OpenHeld(target_, OPEN_EXISTING);
  if (held != INVALID_HANDLE_VALUE) {
    exists = true;
    existed_ = true;
    plain = ::GetFileType(held) == FILE_TYPE_DISK;
    targetFd_ = DescriptorFromHandle(held, _O_WRONLY);
    if (targetFd_ < 0) return fail(errno);
  } else {
    const DWORD code = ::GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND)
      return fail(FileErrorFromWin32(code));
  }
  if (plain) {
    if (std::optional<ReplacementFile> made = ReplacementFile::Create(target_)) {
      replacement_.emplace(std::move(*made));
      Track(replacement_->path());
      return true;
    }
    if (!exists) {
      // No temporary file fits beside it: make the file itself now, to be
      // rewritten in place by Commit.
      const HANDLE made = OpenHeld(target_, CREATE_NEW);
      if (made == INVALID_HANDLE_VALUE) return fail(LastFileError());
      created_ = true;
      Track(target_);
      targetFd_ = DescriptorFromHandle(made, _O_WRONLY);
      if (targetFd_ < 0) return fail(errno);
    }
  }
  memoryStream_ = ScratchStream();
  return memoryStream_ != nullptr || fail(errno);
}

SaveTarget::~SaveTarget() {
  // What this save made goes, and is forgotten, in one step that an
  // interrupt cannot split. A file made here is held with delete sharing:
  // it goes when the hold is closed just below.
  Atomically([this] {
    replacement_.reset();  // removes an uncommitted temporary file
    if (created_) ::DeleteFileA(target_.c_str());
    Untrack();
  });
  if (targetFd_ >= 0) ::_close(targetFd_);
  if (memoryStream_ != nullptr) std::fclose(memoryStream_);
  std::free(memory_);
}

bool SaveTarget::Commit(int* error) {
  if (replacement_) {
    // A file that is open cannot be replaced on Windows, not even by the
    // program that holds it: the hold ends here.
    if (targetFd_ >= 0) ::_close(targetFd_);
    targetFd_ = -1;
    const bool done = replacement_->Commit();
    *error = errno;
    Untrack();  // the temporary name is gone either way
    return done;
  }
  std::string contents;
  if (std::ferror(memoryStream_) || std::fflush(memoryStream_) != 0 ||
      !ReadBack(memoryStream_, &contents)) {
    *error = errno != 0 ? errno : EIO;
    return false;
  }
  return RewriteInPlace(contents, error);
}

}  // namespace tavlink
