#include "cli/console.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "transfer/transfer_dialog.h"

namespace tavlink::cli {
namespace {

// Shared with the signal handler, so lock-free atomics only.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
              std::atomic<const char*>::is_always_lock_free);
std::atomic<int> interrupts{0};
std::atomic<bool> transferRunning{false};

// The file to remove when leaving at once. Each path gets a slot of its own
// that is never written again, so the handler never reads a path that is
// being changed.
constexpr int kRemovalSlots = 8;
char removalPaths[kRemovalSlots][PATH_MAX];
int removalSlotsUsed = 0;  // user-interface thread only
std::atomic<const char*> removalPath{nullptr};

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

void Say(const char* text, size_t length) {
  (void)!::write(STDERR_FILENO, text, length);
}

extern "C" void OnInterrupt(int) {
  const int count = interrupts.fetch_add(1) + 1;
  if (transferRunning.load() && count < 3) return;  // the Cancel command, see OnIdle
  // Leave at once; the system closes the line. Only async-signal-safe
  // calls from here on.
  if (const char* path = removalPath.load()) ::unlink(path);
  static const char kInsisted[] = "\ntavlink-cli: stopped at once.\n";
  static const char kStopped[] = "\ntavlink-cli: stopped.\n";
  if (count >= 3)
    Say(kInsisted, sizeof kInsisted - 1);
  else
    Say(kStopped, sizeof kStopped - 1);
  ::_exit(130);
}

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
  std::FILE* tty = std::fopen("/dev/tty", "r+");
  if (tty == nullptr) return false;
  std::fprintf(tty, "%s [y/N] ", Fold(question).c_str());
  std::fflush(tty);
  char line[64] = {};
  const bool yes =
      std::fgets(line, sizeof line, tty) != nullptr && (line[0] == 'y' || line[0] == 'Y');
  std::fclose(tty);
  return yes;
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
  std::printf("\r\033[K%-52s [%s]", status_.c_str(), bar.c_str());
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
  const bool yes = AskYesNo(text, options_.assumeYes || !::isatty(STDIN_FILENO));
  if (buttons == BoxButtons::kYesNo) return yes ? BoxAnswer::kYes : BoxAnswer::kNo;
  return yes ? BoxAnswer::kOk : BoxAnswer::kCancel;
}

void ConsoleView::OnIdle() {
  for (int n = TakeInterrupts(); n > 0; --n) Dialog()->OnCancel();
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

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // One interrupt at a time: the handler never interrupts itself.
  for (int signal : kInterruptSignals) sigaddset(&action.sa_mask, signal);
  for (int signal : kInterruptSignals) sigaction(signal, &action, nullptr);
}

int TakeInterrupts() {
  return interrupts.exchange(0);
}

TransferInterrupts::TransferInterrupts() {
  transferRunning.store(true);
}

TransferInterrupts::~TransferInterrupts() {
  transferRunning.store(false);
}

void RemoveOnInterrupt(const std::string& path) {
  removalPath.store(nullptr);
  if (removalSlotsUsed == kRemovalSlots || path.size() >= PATH_MAX) return;
  char* slot = removalPaths[removalSlotsUsed++];
  std::memcpy(slot, path.c_str(), path.size() + 1);
  removalPath.store(slot);
}

void KeepOnInterrupt() {
  removalPath.store(nullptr);
}

void WithInterruptsDeferred(const std::function<void()>& task) {
  sigset_t held, previous;
  sigemptyset(&held);
  for (int signal : kInterruptSignals) sigaddset(&held, signal);
  pthread_sigmask(SIG_BLOCK, &held, &previous);
  task();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace tavlink::cli
