#pragma once
// The command line as the host of an operation (operations/operation_host.h):
// questions on the user's terminal or answered by --yes, messages and file
// errors as "tavlink-cli: ..." lines, and each session through a DeviceRun
// on the receiver's line.
//
// Threading: the thread that runs the command (one receiver's thread of a
// station).

#include <string>

#include "cli/device_run.h"
#include "cli/session_display.h"
#include "operations/operation_host.h"

namespace tavlink::cli {

class ConsoleHost final : public OperationHost {
 public:
  // Questions are asked on `terminal`'s user terminal; `assumeYes` answers
  // every one Yes. Messages go to `output` (a receiver's row of the
  // station), or straight to standard error when it is null; sessions run
  // on `run`, which may be null for the checks made before any receiver is
  // served. All must outlive the host.
  ConsoleHost(Terminal& terminal, bool assumeYes, RunOutput* output, DeviceRun* run = nullptr)
      : terminal_(terminal), assumeYes_(assumeYes), output_(output), run_(run) {}

  bool Ask(Question question, std::string_view text) override;
  void Tell(const Notice& notice) override;
  void FileFailed(FileAction action, const std::string& path, int error) override;
  TransferOutcome RunSession(const TransferRequest& request) override;

 private:
  void Say(const std::string& text);

  Terminal& terminal_;
  bool assumeYes_;
  RunOutput* output_;
  DeviceRun* run_;
};

}  // namespace tavlink::cli
