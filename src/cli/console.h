#pragma once
// The command line's stand-ins for the transfer window and the device error
// box. Everything the session shows goes to standard error, so that standard
// output carries only results: status texts, and on a terminal a progress
// meter with a bar, the percentage and the times (plain status lines
// otherwise); message boxes as lines with their caption; questions asked on
// the user's terminal (also when standard input is redirected) or answered
// by --yes, and without a terminal given their default answer; interrupts
// as the Cancel command; a time limit (--timeout); and the hints a
// technician needs when the receiver does not answer. A request that the
// receiver leaves unanswered is sent again for as long as it stays silent
// (an upgrade's, a factory write's): the meter then counts the time without
// an answer and says how to stop, and without a terminal a line a minute
// says the same.

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "cli/env.h"
#include "cli/session_display.h"
#include "link/error_reporter.h"
#include "link/frame.h"
#include "transfer/event_loop_view.h"

namespace tavlink::cli {

struct ConsoleOptions {
  bool assumeYes = false;                       // --yes: answer every question with Yes / OK
  std::optional<std::chrono::seconds> timeout;  // --timeout: stop the session then
  std::string lineDescription;  // "COM1 (/dev/ttyUSB0)": where the session talks, for hints
  // How soon the session sees an interrupt, its --timeout and its waits;
  // each period wakes the session's thread.
  Clock::Duration idlePeriod = EventLoopView::kDefaultIdlePeriod;
};

// `text` on one line: line breaks and runs of blanks made single blanks.
std::string Fold(std::string_view text);

// Asks `question` on the user's terminal; `assumeYes` answers yes without
// asking. Without a terminal to ask on, the answer is no.
bool AskYesNo(Terminal& terminal, std::string_view question, bool assumeYes);

class ConsoleView final : public EventLoopView {
 public:
  // Interrupts that came before this view are not its to take. `env` and
  // `display` must outlive the view.
  ConsoleView(Env& env, ConsoleOptions options, SessionDisplay& display);
  ~ConsoleView() override;

  // Writes `text` as a line of its own on standard error, below the meter.
  // Any thread: from the worker it waits for the user-interface thread.
  void Say(std::string_view text);

  // A receive got no answer at all, or the receiver sent something (the
  // worker's frame observer calls them).
  void NoteSilence();
  void NoteHeard();
  // The serial device failed (and said why): the receiver's silence is
  // no longer the thing to look into.
  void NoteDeviceError() { deviceFailed_.store(true); }
  // Prints, once, the hint that the receiver did not answer, when it did not.
  void SayNoAnswerHint();

  // Ends the meter's line, so that what follows starts a line of its own
  // (after the session; user-interface thread).
  void CloseMeter() { display_.End(); }

  // The error count the session's status line showed last.
  int ErrorCount() const { return errorCount_; }
  // The last note the session showed of its own (a box, a hint), and whether
  // a receive got no answer at all: what a failure is put down to.
  const std::string& LastNote() const { return lastNote_; }
  bool SawSilence() const { return silence_.load(); }

  // True once --timeout stopped the session.
  bool TimedOut() const { return timedOut_; }
  // The time since the view was made: the session's length.
  Clock::Duration Elapsed() const;

 protected:
  void OnTitle(std::string_view title) override;
  void OnStatus(std::string_view text) override;
  void OnProgressRange(int upper) override;
  void OnProgressPos(int position) override;
  BoxAnswer OnMessage(std::string_view text, std::string_view caption, BoxButtons buttons) override;
  void OnIdle() override;

 private:
  void Print(std::string_view text);  // user-interface thread
  void Redraw();
  // The status as the meter shows it: with the time without an answer
  // while the request goes unanswered.
  std::string ShownStatus(Clock::TimePoint now) const;
  // How long the receiver has left the request unanswered; nothing while
  // the session is not waiting for it.
  std::optional<Clock::Duration> Unanswered(Clock::TimePoint now) const;
  // "Ctrl-C stops, or --timeout SECONDS": how to end the wait.
  std::string HowToStop(Clock::TimePoint now) const;
  std::chrono::seconds ElapsedSeconds() const;
  // Asks on the user's terminal while the session goes on: false for No
  // (an interrupt included), nothing when there is no terminal to ask on.
  std::optional<bool> Ask(std::string_view text);
  // What is said when there is no terminal to ask `text` on.
  static std::string NoTerminalNote(std::string_view text, BoxButtons buttons);

  Env& env_;
  ConsoleOptions options_;
  SessionDisplay& display_;
  const Clock::TimePoint start_;
  std::string status_;
  Clock::TimePoint statusSince_ = start_;
  int upper_ = 100;
  int position_ = 0;
  int errorCount_ = 0;
  std::string lastNote_;
  Clock::TimePoint lastTick_ = start_;
  int takenInterrupts_;  // interrupts this run has taken as Cancel
  bool questionOpen_ = false;
  bool questionInterrupted_ = false;
  bool timedOut_ = false;
  bool saidWaiting_ = false;
  std::atomic<bool> silence_{false};
  std::atomic<bool> deviceFailed_{false};
  std::atomic<long long> silenceAtMs_{0};  // since start_
  std::atomic<long long> heardAtMs_{0};    // since start_; 0 before anything came
  bool saidNoAnswer_ = false;
  long long minutesSaid_ = 0;  // of the wait without an answer, without a terminal
};

// The device error box of a run: a line on standard error through its view.
class ConsoleReporter final : public ErrorReporter {
 public:
  explicit ConsoleReporter(ConsoleView& view) : view_(view) {}
  void ShowError(std::string_view caption, std::string_view text) override;

 private:
  ConsoleView& view_;
};

// Watches the frames of a run: prints each one on standard error with the
// time since the start when tracing (--trace), after "[name] " when a
// receiver's name is given (a receiver among several), and tells the view
// when a receive got no answer.
class ConsoleTrace final : public FrameTrace {
 public:
  ConsoleTrace(Env& env, ConsoleView& view, bool print, std::string receiverName = {})
      : env_(env),
        view_(view),
        print_(print),
        prefix_(receiverName.empty() ? "" : "[" + receiverName + "] "),
        start_(env.clock.Now()) {}
  void OnFrame(Direction direction, int code, long payloadLength,
               std::string_view verdict) override;

 private:
  Env& env_;
  ConsoleView& view_;
  bool print_;
  std::string prefix_;
  const Clock::TimePoint start_;
};

}  // namespace tavlink::cli
