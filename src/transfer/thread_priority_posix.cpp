#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "transfer/thread_priority.h"

namespace tavlink {

void LowerCurrentThreadPriority() {
  // On Linux a nice value set for a thread id applies to that thread alone.
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, tid);
  if (nice == -1 && errno != 0) return;
  ::setpriority(PRIO_PROCESS, tid, nice + 2 > 19 ? 19 : nice + 2);
}

}  // namespace tavlink
