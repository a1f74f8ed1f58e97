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
static_assert(std::atomic<int>::is_always_lock_free &&
              std::atomic<const char*>::is_always_lock_free);
std::atomic<int> interrupts{0};
std::atomic<int> transfersRunning{0};

// The file to remove when leaving at once. Each path gets a slot of its own
// that is never written again, so the handler never reads a path that is
// being changed.
constexpr int kRemovalSlots = 8;
char removalPaths[kRemovalSlots][PATH_MAX];
std::atomic<int> removalSlotsUsed{0};
std::atomic<const char*> removalPath{nullptr};

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

void Say(const char* text, size_t length) {
  (void)!::write(STDERR_FILENO, text, length);
}

extern "C" void OnInterrupt(int) {
  const int count = interrupts.fetch_add(1) + 1;
  if (transfersRunning.load() > 0 && count < 3) return;  // the Cancel command
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

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // One interrupt at a time: the handler never interrupts itself.
  for (int signal : kInterruptSignals) sigaddset(&action.sa_mask, signal);
  for (int signal : kInterruptSignals) sigaction(signal, &action, nullptr);
}

int InterruptCount() {
  return interrupts.load();
}

TransferInterrupts::TransferInterrupts() {
  transfersRunning.fetch_add(1);
}

TransferInterrupts::~TransferInterrupts() {
  transfersRunning.fetch_sub(1);
}

void RemoveOnInterrupt(const std::string& path) {
  removalPath.store(nullptr);
  if (path.size() >= PATH_MAX) return;
  const int slot = removalSlotsUsed.fetch_add(1);
  if (slot >= kRemovalSlots) return;
  std::memcpy(removalPaths[slot], path.c_str(), path.size() + 1);
  removalPath.store(removalPaths[slot]);
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
