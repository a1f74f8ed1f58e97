#pragma once
// The platform call that puts the calling thread at the system's lowest
// normal priority (Windows THREAD_PRIORITY_LOWEST; on Linux a nice value two
// steps above the process's). Best effort: a refusal leaves the priority.

namespace tavlink {

void LowerCurrentThreadPriority();

}  // namespace tavlink
