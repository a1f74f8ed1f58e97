#include "cli/console.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/interrupts.h"
#include "cli/terminal.h"
#include "transfer/transfer_dialog.h"

namespace tavlink::cli {
namespace {

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

}  // namespace

void PrintBox(std::string_view caption, std::string_view text) {
  const std::string name = caption.empty() ? "tavlink-cli" : std::string(caption);
  std::fprintf(stderr, "%s: %s\n", name.c_str(), Fold(text).c_str());
  std::fflush(stderr);
}

bool AskYesNo(std::string_view question, bool assumeYes) {
  if (assumeYes) return true;
  return AskOnTerminal(Fold(question)).value_or(false);
}

void ConsoleReporter::ShowError(std::string_view caption, std::string_view text) {
  std::lock_guard lock(mutex_);
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
               static_cast<int>(text.size()), text.data());
  std::fflush(stderr);
}

ConsoleView::~ConsoleView() {
  EndLiveLine();
}

void ConsoleView::OnTitle(std::string_view title) {
  std::printf("%.*s\n", static_cast<int>(title.size()), title.data());
  std::fflush(stdout);
}

void ConsoleView::OnStatus(std::string_view text) {
  if (text == status_) return;
  status_ = text;
  if (options_.liveProgress) return Redraw();
  std::printf("%s\n", status_.c_str());
  std::fflush(stdout);
}

void ConsoleView::OnProgressRange(int upper) {
  upper_ = upper;
  if (options_.liveProgress) Redraw();
}

void ConsoleView::OnProgressPos(int position) {
  position_ = position;
  if (options_.liveProgress) Redraw();
}

void ConsoleView::Redraw() {
  constexpr int kWidth = 24;
  const int filled = upper_ > 0 ? std::min(kWidth, std::max(0, position_) * kWidth / upper_) : 0;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(kWidth, '.');
  RewindLiveLine();
  std::printf("%-52s [%s]", status_.c_str(), bar.c_str());
  std::fflush(stdout);
  liveLineOpen_ = true;
}

void ConsoleView::EndLiveLine() {
  if (!liveLineOpen_) return;
  std::printf("\n");
  std::fflush(stdout);
  liveLineOpen_ = false;
}

BoxAnswer ConsoleView::OnMessage(std::string_view text, std::string_view caption,
                                 BoxButtons buttons) {
  EndLiveLine();
  if (buttons == BoxButtons::kOk) {
    PrintBox(caption, text);
    return BoxAnswer::kOk;
  }
  // Without a terminal there is no one to ask: a script that interrupts
  // means it (the stop question of an upgrade), as --yes does.
  const bool yes = options_.assumeYes || !StdinIsTerminal() || Ask(text);
  if (buttons == BoxButtons::kYesNo) return yes ? BoxAnswer::kYes : BoxAnswer::kNo;
  return yes ? BoxAnswer::kOk : BoxAnswer::kCancel;
}

bool ConsoleView::Ask(std::string_view text) {
  // The session's events go on while the user thinks: the worker is never
  // held up at its next status line by an open question.
  TerminalQuestion question(Fold(text));
  if (!question.ok()) return false;
  questionOpen_ = true;
  questionInterrupted_ = false;
  std::optional<bool> answer;
  const bool answered = PumpUntil([&] {
    if (questionInterrupted_) return true;  // Ctrl-C on a question is No
    if (!answer) answer = question.Poll();
    return answer.has_value();
  });
  questionOpen_ = false;
  if (!answered || questionInterrupted_) question.Abandon();
  return answered && !questionInterrupted_ && answer.value_or(false);
}

void ConsoleView::OnIdle() {
  // Every interrupt since this run last looked is one Cancel command.
  // Each is taken before it is acted on: a question that the Cancel opens
  // runs this again and must not see the same interrupt.
  while (takenInterrupts_ < InterruptCount()) {
    ++takenInterrupts_;
    if (questionOpen_)
      questionInterrupted_ = true;
    else
      Dialog()->OnCancel();
  }
}

void ConsoleTrace::OnFrame(Direction direction, int code, long payloadLength,
                           std::string_view verdict) {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::string line = FrameCodeName(code);
  if (payloadLength >= 0) line.append(" len ").append(std::to_string(payloadLength));
  if (!verdict.empty()) line.append(" ").append(verdict);
  std::fprintf(stderr, "[%9.3f] %s %s\n", seconds,
               direction == Direction::kSent ? "PC -> RX" : "RX -> PC", line.c_str());
  std::fflush(stderr);
}

}  // namespace tavlink::cli
