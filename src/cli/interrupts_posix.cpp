// Interrupts on POSIX: sigaction(2) for SIGINT, SIGTERM and SIGHUP, and
// pthread_sigmask(3) to hold them back.
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

#include "cli/interrupts.h"

namespace tavlink::cli {
namespace {

// Shared with the signal handler, so lock-free atomics only.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> interrupts{0};
std::atomic<int> transfersRunning{0};

// The files to remove when leaving at once. A slot's path is written only
// by the thread that claimed the free slot, and read by the handler only
// after it has taken the armed slot for itself, so the handler never reads
// a path that is being changed and a slot given back is never removed.
enum SlotState : int { kFree, kClaimed, kArmed, kLeaving };
struct RemovalSlot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
RemovalSlot removals[kRemovalSlots];

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

void Say(const char* text, size_t length) {
  (void)!::write(STDERR_FILENO, text, length);
}

extern "C" void OnInterrupt(int) {
  const int count = interrupts.fetch_add(1) + 1;
  if (transfersRunning.load() > 0 && count < 3) return;  // the Cancel command
  // Leave at once; the system closes the line. Only async-signal-safe
  // calls from here on.
  for (RemovalSlot& slot : removals) {
    int armed = kArmed;
    if (slot.state.compare_exchange_strong(armed, kLeaving)) ::unlink(slot.path);
  }
  static const char kInsisted[] = "\ntavlink-cli: stopped at once.\n";
  static const char kStopped[] = "\ntavlink-cli: stopped.\n";
  if (count >= 3)
    Say(kInsisted, sizeof kInsisted - 1);
  else
    Say(kStopped, sizeof kStopped - 1);
  ::_exit(130);
}

class HandledInterrupts final : public Interrupts {
 public:
  int Count() override { return interrupts.load(); }
  void EnterTransfer() override { transfersRunning.fetch_add(1); }
  void LeaveTransfer() override { transfersRunning.fetch_sub(1); }
};

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // One interrupt at a time: the handler never interrupts itself.
  for (int signal : kInterruptSignals) sigaddset(&action.sa_mask, signal);
  for (int signal : kInterruptSignals) sigaction(signal, &action, nullptr);
}

Interrupts& SystemInterrupts() {
  static HandledInterrupts handled;
  return handled;
}

int RemoveOnInterrupt(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int ticket = 0; ticket < kRemovalSlots; ++ticket) {
    RemovalSlot& slot = removals[ticket];
    int free = kFree;
    if (!slot.state.compare_exchange_strong(free, kClaimed)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.state.store(kArmed);
    return ticket;
  }
  return -1;
}

void KeepOnInterrupt(int ticket) {
  if (ticket < 0 || ticket >= kRemovalSlots) return;
  // A slot the handler has taken stays taken: the program is ending.
  int armed = kArmed;
  removals[ticket].state.compare_exchange_strong(armed, kFree);
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
