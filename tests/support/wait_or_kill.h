#pragma once
// Waits for a child process to end, with a limit: one that is still running
// then is killed (SIGKILL). Either way the child is reaped.
//
//   const ChildEnding ending = WaitOrKill(pid, std::chrono::seconds(60));
//   if (!ending.inTime) ...  // it was killed; ending.status says so

#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

namespace tavlink::testing {

struct ChildEnding {
  int status = 0;       // the wait status (WIFEXITED ...); 0 when there was no child
  bool inTime = false;  // it ended by itself within the limit
};

// Waits for `pid` at most `limit`, calling `meanwhile` between looks (it
// must not block long; without it the wait sleeps 5 ms), then kills and
// reaps it. Does nothing for a pid that is not a child's (<= 0).
inline ChildEnding WaitOrKill(pid_t pid, std::chrono::milliseconds limit,
                              const std::function<void()>& meanwhile = {}) {
  ChildEnding ending;
  if (pid <= 0) return ending;
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const pid_t ended = ::waitpid(pid, &ending.status, WNOHANG);
    if (ended < 0 && errno == EINTR) continue;
    if (ended != 0) {
      ending.inTime = ended == pid;
      return ending;
    }
    if (std::chrono::steady_clock::now() > end) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &ending.status, 0);
      return ending;
    }
    if (meanwhile) {
      meanwhile();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
}

}  // namespace tavlink::testing
