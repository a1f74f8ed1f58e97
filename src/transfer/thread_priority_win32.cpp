#include <windows.h>

#include "transfer/thread_priority.h"

namespace tavlink {

void LowerCurrentThreadPriority() {
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_LOWEST);
}

}  // namespace tavlink
