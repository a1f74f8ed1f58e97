#include "sim/stop_signal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace tavlink::sim {

StopSignal::StopSignal() : event_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void StopSignal::Request() {
  requested_.store(true);
  if (event_.valid()) {
    const uint64_t one = 1;
    // A full counter (never reached) would only mean it is readable already.
    [[maybe_unused]] const ssize_t n = ::write(event_.get(), &one, sizeof one);
  }
}

}  // namespace tavlink::sim
