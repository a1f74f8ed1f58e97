#pragma once
// The command line's stand-ins for the transfer window and the device error
// box: status texts and a live progress bar on a terminal (plain status
// lines otherwise), message boxes as lines on standard error with their
// caption, questions asked on the terminal or answered by --yes, Ctrl-C,
// SIGTERM and SIGHUP as the Cancel command, and an optional trace of every
// frame.

#include <chrono>
#include <mutex>
#include <string>
#include <string_view>

#include "cli/interrupts.h"
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
  // Interrupts that came before this view are not its to take.
  explicit ConsoleView(ConsoleOptions options)
      : options_(options), takenInterrupts_(InterruptCount()) {}
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
  // Asks on the terminal while the session goes on; false for No.
  bool Ask(std::string_view text);

  ConsoleOptions options_;
  std::string status_;
  int upper_ = 100;
  int position_ = 0;
  bool liveLineOpen_ = false;
  int takenInterrupts_;  // interrupts this run has taken as Cancel
  bool questionOpen_ = false;
  bool questionInterrupted_ = false;
};

// Prints each frame on standard error with the time since the start.
class ConsoleTrace final : public FrameTrace {
 public:
  void OnFrame(Direction direction, int code, long payloadLength,
               std::string_view verdict) override;

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace tavlink::cli
