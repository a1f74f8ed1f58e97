#pragma once
// The command line's stand-ins for the transfer window and the device error
// box: status texts and a live progress bar on a terminal (plain status
// lines otherwise), message boxes as lines on standard error with their
// caption, questions asked on the terminal or answered by --yes, Ctrl-C,
// SIGTERM and SIGHUP as the Cancel command, and an optional trace of every
// frame.

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "link/error_reporter.h"
#include "link/frame.h"
#include "transfer/event_loop_view.h"

namespace tavlink::cli {

struct ConsoleOptions {
  bool assumeYes = false;     // --yes: answer every question with Yes / OK
  bool liveProgress = false;  // redraw one status line with a bar (a terminal)
};

// Writes `caption: text` on standard error, the text's line breaks folded.
void PrintBox(std::string_view caption, std::string_view text);

// Asks `question` on the terminal; `assumeYes` answers yes without asking.
// Without a terminal to ask on, the answer is no.
bool AskYesNo(std::string_view question, bool assumeYes);

class ConsoleReporter final : public ErrorReporter {
 public:
  void ShowError(std::string_view caption, std::string_view text) override;

 private:
  std::mutex mutex_;
};

class ConsoleView final : public EventLoopView {
 public:
  explicit ConsoleView(ConsoleOptions options) : options_(options) {}
  ~ConsoleView() override;

 protected:
  void OnTitle(std::string_view title) override;
  void OnStatus(std::string_view text) override;
  void OnProgressRange(int upper) override;
  void OnProgressPos(int position) override;
  BoxAnswer OnMessage(std::string_view text, std::string_view caption, BoxButtons buttons) override;
  void OnIdle() override;

 private:
  void Redraw();
  void EndLiveLine();

  ConsoleOptions options_;
  std::string status_;
  int upper_ = 100;
  int position_ = 0;
  bool liveLineOpen_ = false;
};

// Prints each frame on standard error with the time since the start.
class ConsoleTrace final : public FrameTrace {
 public:
  void OnFrame(Direction direction, int code, long payloadLength,
               std::string_view verdict) override;

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Interrupts: Ctrl-C (SIGINT), SIGTERM and SIGHUP. While a transfer runs
// each one is counted by the signal handler and taken on the user-interface
// thread as the Cancel command, and the third in a row leaves at once. Outside
// a transfer the first one leaves at once. Leaving at once removes the file
// named by RemoveOnInterrupt and exits with 130.
void InstallInterruptHandler();

// The interrupts counted since the last call, read and reset in one step.
int TakeInterrupts();

// Marks the span of one transfer session: within it interrupts are Cancel.
class TransferInterrupts {
 public:
  TransferInterrupts();
  ~TransferInterrupts();
  TransferInterrupts(const TransferInterrupts&) = delete;
  TransferInterrupts& operator=(const TransferInterrupts&) = delete;
};

// Names the one file that leaving at once removes (a temporary file, or an
// output this command created); KeepOnInterrupt forgets it. The path is
// copied beforehand, so that the handler only calls unlink. Only the first
// few paths of a run are taken, which is more than any command needs.
void RemoveOnInterrupt(const std::string& path);
void KeepOnInterrupt();

// Runs `task` with interrupts held back, so that leaving at once never cuts
// it half way (a file rewritten in place); they are handled when it returns.
void WithInterruptsDeferred(const std::function<void()>& task);

}  // namespace tavlink::cli
