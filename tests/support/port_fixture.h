#pragma once
// A SerialPort opened on an in-memory line in virtual time, set up as the
// transfer dialog sets up its port (20,000 ms time-out).

#include <memory>

#include "link/serial_port.h"
#include "support/memory_line.h"
#include "support/recording_reporter.h"
#include "support/virtual_clock.h"

namespace tavlink::testing {

struct PortOnMemoryLine {
  explicit PortOnMemoryLine(uint32_t timeoutMs = 20000) {
    port.Initialize(1, 8192, 8192);
    port.SetTimeout(timeoutMs);
    port.Open();
  }
  VirtualClock clock;
  RecordingReporter reporter;
  std::shared_ptr<MemoryLine> line = std::make_shared<MemoryLine>(clock);
  SerialPort port{std::make_unique<MemoryDevice>(line), clock, reporter};
};

}  // namespace tavlink::testing
