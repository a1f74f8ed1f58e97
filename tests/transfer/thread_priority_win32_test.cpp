#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "transfer/thread_priority.h"

namespace tavlink {
namespace {

TEST(ThreadPriorityTest, WorkerRunsAtTheLowestPriority) {
  int priority = THREAD_PRIORITY_ERROR_RETURN;
  std::thread worker([&] {
    LowerCurrentThreadPriority();
    priority = ::GetThreadPriority(::GetCurrentThread());
  });
  worker.join();
  EXPECT_EQ(priority, THREAD_PRIORITY_LOWEST);
  EXPECT_EQ(::GetThreadPriority(::GetCurrentThread()), THREAD_PRIORITY_NORMAL);  // only the worker
}

}  // namespace
}  // namespace tavlink
