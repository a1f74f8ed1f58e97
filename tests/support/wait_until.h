#pragma once
// Waits in real time for something another process or thread does, with a
// limit, so that a fault fails the test instead of hanging it.
//
//   ASSERT_TRUE(WaitUntil([&] { return fs::exists(path); }, std::chrono::seconds(20)));

#include <chrono>
#include <functional>
#include <thread>

namespace tavlink::testing {

// Polls `done` every 20 ms until it is true (true) or `limit` has passed
// (false).
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace tavlink::testing
