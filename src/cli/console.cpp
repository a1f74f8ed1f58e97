#include "cli/console.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/interrupts.h"
#include "cli/progress_meter.h"
#include "cli/terminal.h"
#include "transfer/transfer_dialog.h"

namespace tavlink::cli {
namespace {

using Seconds = std::chrono::seconds;

}  // namespace

std::string Fold(std::string_view text) {
  std::string out;
  bool space = false;
  for (char c : text) {
    if (c == '\n' || c == '\r' || c == ' ' || c == '\t') {
      space = !out.empty();
      continue;
    }
    if (space) out += ' ';
    space = false;
    out += c;
  }
  return out;
}

bool AskYesNo(Terminal& terminal, std::string_view question, bool assumeYes) {
  if (assumeYes) return true;
  return terminal.AskAndWait(Fold(question)).value_or(false);
}

ConsoleView::ConsoleView(Env& env, ConsoleOptions options, SessionDisplay& display)
    : EventLoopView(env.clock, env.eventWait, options.idlePeriod),
      env_(env),
      options_(std::move(options)),
      display_(display),
      start_(env.clock.Now()),
      takenInterrupts_(env.interrupts.Count()) {}

ConsoleView::~ConsoleView() {
  display_.End();
}

std::chrono::seconds ConsoleView::ElapsedSeconds() const {
  return std::chrono::duration_cast<Seconds>(Elapsed());
}

Clock::Duration ConsoleView::Elapsed() const {
  return std::chrono::duration_cast<Clock::Duration>(env_.clock.Now() - start_);
}

void ConsoleView::Say(std::string_view text) {
  Sync([this, text] { Print(text); });
}

void ConsoleView::Print(std::string_view text) {
  lastNote_ = text;
  display_.Note(text);
}

void ConsoleView::NoteSilence() {
  silenceAtMs_.store(std::chrono::duration_cast<std::chrono::milliseconds>(Elapsed()).count());
  silence_.store(true);
}

void ConsoleView::NoteHeard() {
  heardAtMs_.store(std::chrono::duration_cast<std::chrono::milliseconds>(Elapsed()).count());
}

std::optional<Clock::Duration> ConsoleView::Unanswered(Clock::TimePoint now) const {
  // Waiting for the receiver, and the last receive since it said anything
  // got nothing.
  const long long heard = heardAtMs_.load();
  if (status_ != kConnectingStatus || !silence_.load() || silenceAtMs_.load() <= heard)
    return std::nullopt;
  return std::chrono::duration_cast<Clock::Duration>(now - (start_ + Clock::Duration(heard)));
}

std::string ConsoleView::HowToStop(Clock::TimePoint now) const {
  if (!options_.timeout) return "Ctrl-C stops, or --timeout SECONDS";
  const auto left = std::chrono::ceil<Seconds>(start_ + *options_.timeout - now);
  return "Ctrl-C stops, --timeout in " + FormatDuration(left);
}

std::string ConsoleView::ShownStatus(Clock::TimePoint now) const {
  const std::optional<Clock::Duration> waited = Unanswered(now);
  if (!waited || !display_.Live()) return status_;
  return status_ + "   no answer for " +
         FormatDuration(std::chrono::duration_cast<Seconds>(*waited)) + " (" + HowToStop(now) + ")";
}

void ConsoleView::SayNoAnswerHint() {
  // After a device error the hint would send the technician to the
  // receiver when the cable or adapter is what failed.
  if (saidNoAnswer_ || !silence_.load() || deviceFailed_.load()) return;
  saidNoAnswer_ = true;
  Print("tavlink-cli: no answer on " + options_.lineDescription + " within " +
        std::to_string(TransferDialog::kTimeoutMs / 1000) +
        " s; check the cable, the port choice and that the receiver is on.");
}

void ConsoleView::OnTitle(std::string_view title) {
  display_.Note(title);  // the window's name: no failure is put down to it
}

void ConsoleView::OnStatus(std::string_view text) {
  if (text == status_) return;
  status_ = text;
  statusSince_ = env_.clock.Now();
  // "...   error 2" and "...   err.count 2" carry the count of bad frames.
  for (const std::string_view label : {"err.count ", "error "}) {
    if (const size_t at = status_.rfind(label); at != std::string::npos) {
      errorCount_ = std::atoi(status_.c_str() + at + label.size());
      break;
    }
  }
  Redraw();
}

void ConsoleView::OnProgressRange(int upper) {
  upper_ = upper;
  Redraw();
}

void ConsoleView::OnProgressPos(int position) {
  position_ = position;
  Redraw();
}

void ConsoleView::Redraw() {
  display_.Progress(ShownStatus(env_.clock.Now()), position_, upper_, errorCount_,
                    ElapsedSeconds());
}

BoxAnswer ConsoleView::OnMessage(std::string_view text, std::string_view caption,
                                 BoxButtons buttons) {
  if (buttons == BoxButtons::kOk) {
    Print((caption.empty() ? std::string("tavlink-cli") : std::string(caption)) + ": " +
          Fold(text));
    SayNoAnswerHint();
    return BoxAnswer::kOk;
  }
  display_.End();
  // Asked on the user's terminal, which standard input need not be. With
  // no terminal at all the question's default answer (No, Cancel) stands
  // unless --yes, and the line says so.
  std::optional<bool> yes = true;
  if (!options_.assumeYes) yes = Ask(text);
  if (!yes) Print(NoTerminalNote(text, buttons));
  if (buttons == BoxButtons::kYesNo) return yes.value_or(false) ? BoxAnswer::kYes : BoxAnswer::kNo;
  return yes.value_or(false) ? BoxAnswer::kOk : BoxAnswer::kCancel;
}

std::string ConsoleView::NoTerminalNote(std::string_view text, BoxButtons buttons) {
  // A session's one Yes/No question is the upgrade's: whether to stop it.
  if (buttons == BoxButtons::kYesNo)
    return "tavlink-cli: no terminal to ask whether to stop the upgrade, so it goes on; with "
           "--yes an interrupt stops it.";
  return "tavlink-cli: no terminal to ask on: \"" + Fold(text) +
         "\" is answered Cancel (--yes answers OK).";
}

std::optional<bool> ConsoleView::Ask(std::string_view text) {
  // The session's events go on while the user thinks: the worker is never
  // held up at its next status line by an open question.
  const std::unique_ptr<TerminalQuestion> question = env_.terminal.Ask(Fold(text));
  if (!question) return std::nullopt;
  questionOpen_ = true;
  questionInterrupted_ = false;
  std::optional<bool> answer;
  const bool answered = PumpUntil([&] {
    if (questionInterrupted_) return true;  // Ctrl-C on a question is No
    if (!answer) answer = question->Poll();
    return answer.has_value();
  });
  questionOpen_ = false;
  if (!answered || questionInterrupted_) question->Abandon();
  return answered && !questionInterrupted_ && answer.value_or(false);
}

void ConsoleView::OnIdle() {
  // Each interrupt is taken before it is acted on: a question that the
  // Cancel opens runs this again and must not see the same interrupt.
  while (takenInterrupts_ < env_.interrupts.Count()) {
    ++takenInterrupts_;
    if (questionOpen_)
      questionInterrupted_ = true;
    else
      Dialog()->OnCancel();
  }
  const Clock::TimePoint now = env_.clock.Now();
  if (options_.timeout && !timedOut_ && now - start_ >= *options_.timeout) {
    timedOut_ = true;
    Print("tavlink-cli: the --timeout of " + std::to_string(options_.timeout->count()) +
          " s is up: stopping.");
    Dialog()->RequestStop();
  }
  // A request that the receiver leaves unanswered is sent again for as
  // long as it takes (an operation that fails on it says so after its
  // message instead); say why nothing moves.
  if (silence_.load() && status_ == kConnectingStatus &&
      now - start_ >= std::chrono::milliseconds(silenceAtMs_.load()) + Seconds(1))
    SayNoAnswerHint();
  // A stop waits for the receive under way, which may take its whole time-out.
  if (status_ == kClosingStatus && !saidWaiting_ && now - statusSince_ >= Seconds(1)) {
    saidWaiting_ = true;
    Print(std::string(kClosingStatus) + " waiting up to " +
          std::to_string(TransferDialog::kTimeoutMs / 1000) + " s for the receiver");
  }
  // Without a terminal, a line a minute while the request goes unanswered;
  // on one, the meter counts it (ShownStatus).
  const std::optional<Clock::Duration> waited = Unanswered(now);
  if (!waited) {
    minutesSaid_ = 0;
  } else if (const long long minutes =
                 std::chrono::duration_cast<std::chrono::minutes>(*waited).count();
             !display_.Live() && minutes > minutesSaid_) {
    minutesSaid_ = minutes;
    Print("tavlink-cli: still no answer on " + options_.lineDescription + " after " +
          FormatDuration(std::chrono::duration_cast<Seconds>(*waited)) +
          "; the request goes out again until it answers (" + HowToStop(now) + ").");
  }
  if (now - lastTick_ >= Seconds(1)) {
    lastTick_ = now;
    display_.Tick(ShownStatus(now), position_, upper_, errorCount_, ElapsedSeconds());
  }
}

void ConsoleReporter::ShowError(std::string_view caption, std::string_view text) {
  view_.NoteDeviceError();
  view_.Say(std::string(caption) + ": " + std::string(text));
}

void ConsoleTrace::OnFrame(Direction direction, int code, long payloadLength,
                           std::string_view verdict) {
  if (direction == Direction::kReceived) {
    if (code == RX_TIMEOUT && verdict == "no answer")
      view_.NoteSilence();
    else
      view_.NoteHeard();
  }
  if (!print_) return;
  const double seconds = std::chrono::duration<double>(env_.clock.Now() - start_).count();
  std::string frame = FrameCodeName(code);
  if (payloadLength >= 0) frame.append(" len ").append(std::to_string(payloadLength));
  if (!verdict.empty()) frame.append(" ").append(verdict);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "[%9.3f] ", seconds);
  env_.terminal.Err(prefix_ + stamp + (direction == Direction::kSent ? "PC -> RX " : "RX -> PC ") +
                    frame + "\n");
}

}  // namespace tavlink::cli
