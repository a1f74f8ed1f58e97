// Interrupts on Windows: a console control handler (SetConsoleCtrlHandler)
// for Ctrl-C, Ctrl-Break and the closing of the console window. The system
// runs the handler on a thread of its own, so holding interrupts back is a
// lock that the handler takes before it leaves.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>

#include "cli/interrupts.h"

namespace tavlink::cli {
namespace {

std::atomic<int> interrupts{0};
std::atomic<int> transfersRunning{0};

// Held while interrupts are held back, and by the handler while it leaves;
// guards the paths to remove, which are kept in place (never freed) so that
// the handler may run while the program ends. An empty path is a free slot.
std::recursive_mutex leaving;
constexpr size_t kMaxRemovalPath = 32768;  // the longest path Windows takes
char removalPaths[kRemovalSlots][kMaxRemovalPath];

// The system ends the process when the handler of a closing console
// returns, and at the latest after about five seconds: a running session
// gets this long to send its abort and close the line first.
constexpr DWORD kCloseGraceMs = 3000;

void Say(const char* text) {
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)),
              &written, nullptr);
}

[[noreturn]] void LeaveAtOnce(int count) {
  leaving.lock();  // never given back: the process ends here
  for (const char* path : removalPaths)
    if (path[0] != '\0') ::DeleteFileA(path);
  Say(count >= 3 ? "\ntavlink-cli: stopped at once.\n" : "\ntavlink-cli: stopped.\n");
  // Not ExitProcess: the other threads are not to run anything more, as
  // after _exit on POSIX; the system closes the line and the files.
  ::TerminateProcess(::GetCurrentProcess(), 130);
  ::ExitProcess(130);
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: {
      const int count = interrupts.fetch_add(1) + 1;
      if (transfersRunning.load() > 0 && count < 3) return TRUE;  // the Cancel command
      LeaveAtOnce(count);
    }
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: {
      // The console goes whatever the answer: the Cancel command, and a
      // moment for the sessions to end with it.
      const int count = interrupts.fetch_add(1) + 1;
      for (DWORD waited = 0; count < 3 && transfersRunning.load() > 0 && waited < kCloseGraceMs;
           waited += 50)
        ::Sleep(50);
      LeaveAtOnce(count);
    }
    default:
      return FALSE;
  }
}

class HandledInterrupts final : public Interrupts {
 public:
  int Count() override { return interrupts.load(); }
  void EnterTransfer() override { transfersRunning.fetch_add(1); }
  void LeaveTransfer() override { transfersRunning.fetch_sub(1); }
};

}  // namespace

void InstallInterruptHandler() {
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

Interrupts& SystemInterrupts() {
  static HandledInterrupts handled;
  return handled;
}

int RemoveOnInterrupt(const std::string& path) {
  if (path.empty() || path.size() >= kMaxRemovalPath) return -1;
  const std::lock_guard lock(leaving);
  for (int ticket = 0; ticket < kRemovalSlots; ++ticket) {
    if (removalPaths[ticket][0] != '\0') continue;
    std::memcpy(removalPaths[ticket], path.c_str(), path.size() + 1);
    return ticket;
  }
  return -1;
}

void KeepOnInterrupt(int ticket) {
  if (ticket < 0 || ticket >= kRemovalSlots) return;
  const std::lock_guard lock(leaving);
  removalPaths[ticket][0] = '\0';
}

void WithInterruptsDeferred(const std::function<void()>& task) {
  const std::lock_guard lock(leaving);
  task();
}

}  // namespace tavlink::cli
