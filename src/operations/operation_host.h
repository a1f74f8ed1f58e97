#pragma once
// What an operation needs of the front end that runs it: its questions, its
// messages, its file errors and the transfer session on the front end's
// receiver line. The desktop tool answers with boxes and its transfer
// window, the command line with its terminal and console, the channel
// editor with its windows; the operations themselves (operations.h) are
// written once, below all of them.
//
// Threading: the front end's user-interface thread; every call returns when
// the user has answered or the session is over.

#include <cstdint>
#include <string>
#include <string_view>

#include "transfer/transfer_runner.h"

namespace tavlink {

enum class Question {
  kTurnOffReceiver,  // before a read of user data (OK / Cancel)
  kWriteEmptyData,   // a data text without a single record (Yes / No)
  kRestartReceiver,  // before reading back a factory write: turn it off and on (OK / Cancel)
};

// An application message of an operation. `text` is the message as the
// desktop tool's box shows it; `path` the file it is about, if any;
// `detail` what a front end may add (the reader's message, a length).
struct Notice {
  enum class Kind {
    kWrongRomImage,        // the ROM image's header is wrong, or it is too long (detail)
    kReaderRefused,        // the data text reader refused the file: detail is its message
    kFactoryDataNotValid,  // a received block without its magic
    kReadNotFinished,      // a read of user data failed or was stopped; the file is left alone
    kSavedTextRefused,     // the text is saved, but the reader refuses it: detail
  };
  Kind kind;
  std::string text;
  std::string path;
  std::string detail;
};

// What was being done to a file when it failed.
enum class FileAction { kOpen, kRead, kWrite };

class OperationHost {
 public:
  virtual ~OperationHost() = default;

  // Asks `question` (`text` as the desktop's box words it); true for OK or Yes.
  virtual bool Ask(Question question, std::string_view text) = 0;

  // Tells the user `notice`.
  virtual void Tell(const Notice& notice) = 0;

  // A file of the operation could not be opened, read or written; `error`
  // is an errno value or a files/file_error.h number.
  virtual void FileFailed(FileAction action, const std::string& path, int error) = 0;

  // Runs one transfer session of `request` on the front end's receiver line
  // (whose port number it takes) and returns how it ended. The request's
  // buffer, file and block are the worker's until it returns.
  virtual TransferOutcome RunSession(const TransferRequest& request) = 0;
};

}  // namespace tavlink
