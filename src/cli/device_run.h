#pragma once
// One run of a device command of tavlink-cli: the line it talks on, and one
// transfer session on it, run to its end on this thread with the console as
// its window.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/env.h"
#include "cli/session_display.h"
#include "operations/receiver_line.h"
#include "transfer/transfer_runner.h"

namespace tavlink::cli {

// What the device commands take from the command line.
struct DeviceOptions {
  std::vector<int> ports;            // --port N, any number of times
  std::vector<std::string> devices;  // --device PATH, any number of times
  std::string devicesFrom;           // --devices-from FILE: one device per entry
  bool yes = false;                  // --yes
  bool trace = false;                // --trace
  int timeoutSeconds = 0;            // --timeout; 0 for none
  std::string report;                // --report FILE
  bool repeat = false;               // --repeat
  bool verify = false;               // write-factory-data --verify
  std::string file;                  // the command's file argument
  ReceiverLine line;                 // the receiver's line, once chosen
  std::string receiverName;  // among several receivers, the one served ("COM2"), named before
                             // each of its traced frames; empty for one receiver
};

// Works out the receivers' lines from the options (ports first, then
// devices, then the devices file) and the stored settings: --device PATH,
// or port N (--port N or the stored port) and the device it leads to.
// Nothing, after saying why, when no port is given and none is stored, a
// devices file cannot be read, or one line is named twice.
std::optional<std::vector<ReceiverLine>> ChooseLines(Env& env, const DeviceOptions& options);

class DeviceRun {
 public:
  // Shows its session on `output`'s display; `env` and `output` must
  // outlive the run.
  DeviceRun(Env& env, const DeviceOptions& options, RunOutput& output);
  DeviceRun(const DeviceRun&) = delete;
  DeviceRun& operator=(const DeviceRun&) = delete;

  // Runs the session of `request` on the run's line and returns how it ended.
  TransferOutcome Run(const TransferRequest& request);

  // The exit status of `outcome`: 0, 1, 130, or 3 when --timeout stopped it.
  int ExitStatus(TransferOutcome outcome) const;

  // The session's length, in seconds.
  double Seconds() const;

  // The line the run talks on.
  const ReceiverLine& Line() const { return line_; }

  ConsoleView& View() { return view_; }
  const ConsoleView& View() const { return view_; }

 private:
  Env& env_;
  ConsoleView view_;
  ConsoleReporter reporter_;
  ConsoleTrace trace_;
  ReceiverLine line_;
};

}  // namespace tavlink::cli
