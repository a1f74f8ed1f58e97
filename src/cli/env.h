#pragma once
// Everything tavlink-cli reaches outside itself, in one place: time (the
// steady clock of its waits and sessions, the time of day of its records),
// the terminal with the standard streams, interrupts, the settings and the
// serial devices. RunCli hands the system's Env to every command, which
// passes it down; a test hands its own (tests/support/test_cli_env.h) and
// runs the commands in virtual time, with their output captured.
//
// Threading: every seam may be used from any thread.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "link/clock.h"
#include "link/serial_device.h"
#include "settings/setting_store.h"
#include "transfer/event_loop_view.h"

namespace tavlink::cli {

class Interrupts;  // cli/interrupts.h
class Terminal;    // cli/terminal.h

// The time of day, for the records a station keeps (--report).
class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual std::chrono::system_clock::time_point Now() = 0;
};

struct Env {
  Clock& clock;          // every wait, pause and duration, the sessions' own included
  EventWait& eventWait;  // how a session's event loop waits: on `clock`'s time
  WallClock& wallClock;
  Terminal& terminal;
  Interrupts& interrupts;
  // The user's settings, opened afresh for each use.
  std::function<std::unique_ptr<SettingStore>()> openSettings;
  // The unopened serial device at `path`.
  std::function<std::unique_ptr<SerialDevice>(const std::string& path)> makeDevice;
};

// The system's: the real clocks, this process's terminal and interrupts,
// the platform's settings store and serial devices.
Env& SystemEnv();

}  // namespace tavlink::cli
