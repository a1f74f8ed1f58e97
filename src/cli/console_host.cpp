#include "cli/console_host.h"

#include "cli/console.h"
#include "files/file_error.h"
#include "operations/operation_texts.h"

namespace tavlink::cli {

bool ConsoleHost::Ask(Question, std::string_view text) {
  return AskYesNo(terminal_, text, assumeYes_);
}

void ConsoleHost::Tell(const Notice& notice) {
  switch (notice.kind) {
    case Notice::Kind::kReaderRefused: {
      // The reader's message exactly as it gives it, with the place in the text.
      std::string message = notice.detail;
      while (!message.empty() && message.back() == '\n') message.pop_back();
      Say(message);
      return;
    }
    case Notice::Kind::kSavedTextRefused: {
      std::string refusal = notice.detail;
      while (!refusal.empty() && refusal.back() == '\n') refusal.pop_back();
      Say("tavlink-cli: warning: " + notice.path + ": " + std::string(kSavedTextRefused) + "\n" +
          refusal);
      return;
    }
    case Notice::Kind::kWrongRomImage:
    case Notice::Kind::kFactoryDataNotValid:
    case Notice::Kind::kReadNotFinished:
      Say("tavlink-cli: " + Fold(notice.text));
      if (!notice.detail.empty()) Say("tavlink-cli: " + notice.detail);
      return;
  }
}

void ConsoleHost::FileFailed(FileAction action, const std::string& path, int error) {
  const char* verb = action == FileAction::kWrite ? "write" : "read";
  Say("tavlink-cli: cannot " + std::string(verb) + " " + path + ": " + DescribeFileError(error));
}

TransferOutcome ConsoleHost::RunSession(const TransferRequest& request) {
  if (run_ == nullptr) return TransferOutcome::kNotRun;
  return run_->Run(request);
}

void ConsoleHost::Say(const std::string& text) {
  if (output_ != nullptr) {
    output_->Message(text);
    return;
  }
  terminal_.Err(text + "\n");
}

}  // namespace tavlink::cli
