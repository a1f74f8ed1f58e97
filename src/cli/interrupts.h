#pragma once
// Interrupts of tavlink-cli: Ctrl-C, SIGTERM and SIGHUP on POSIX; Ctrl-C,
// Ctrl-Break and the closing of the console on Windows. While a transfer
// session runs, each one is the Cancel command of every running session,
// which each session takes on its own user-interface thread by
// comparing Interrupts::Count with the count it has already taken; the third
// leaves at once. Outside a transfer the first one leaves at once. Leaving
// at once removes the files named by RemoveOnInterrupt and exits with 130.
//
// The handler is process-wide by nature; the commands reach its count and
// spans through Interrupts (a test's own counts in virtual time), and the
// state of each run (what it has taken) lives with the run.

#include <functional>
#include <string>

namespace tavlink::cli {

// Thread-safe.
class Interrupts {
 public:
  virtual ~Interrupts() = default;
  // The interrupts since the program started; never goes back.
  virtual int Count() = 0;
  // A transfer session's span begins, and ends: within one, interrupts are
  // Cancel. Spans may overlap (several sessions at once).
  virtual void EnterTransfer() = 0;
  virtual void LeaveTransfer() = 0;
};

// This process's: counted by the handler.
Interrupts& SystemInterrupts();

void InstallInterruptHandler();

// Marks the span of one transfer session on `interrupts`.
class TransferInterrupts {
 public:
  explicit TransferInterrupts(Interrupts& interrupts) : interrupts_(interrupts) {
    interrupts_.EnterTransfer();
  }
  ~TransferInterrupts() { interrupts_.LeaveTransfer(); }
  TransferInterrupts(const TransferInterrupts&) = delete;
  TransferInterrupts& operator=(const TransferInterrupts&) = delete;

 private:
  Interrupts& interrupts_;
};

// Names a file that leaving at once removes (a temporary file, or an output
// this command created), one for each receiver a command serves at once;
// the returned ticket is for KeepOnInterrupt, which forgets that file
// again. The path is copied beforehand, so that the handler only removes.
// -1 (a ticket KeepOnInterrupt ignores) when the path is not taken: one
// too long for the system, or more than kRemovalSlots files at once.
inline constexpr int kRemovalSlots = 128;
int RemoveOnInterrupt(const std::string& path);
void KeepOnInterrupt(int ticket);

// Runs `task` with interrupts held back, so that leaving at once never cuts
// it half way (a file rewritten in place); they are handled when it returns.
void WithInterruptsDeferred(const std::function<void()>& task);

}  // namespace tavlink::cli
