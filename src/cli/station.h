#pragma once
// The station: one device command run on every receiver named on the
// command line, each on its own serial line. Each receiver gets its own
// session (its own transfer dialog, worker and serial port, exactly the
// one-receiver session), on a thread of its own, so that one receiver's
// failure, time-out or hang-up never stops, slows or corrupts another. A
// station of one receiver is the plain command.
//
// At the end a summary says how many succeeded and which failed and why;
// --report appends one JSON object per receiver per operation to a file;
// --repeat serves each line again whenever its receiver is exchanged, until
// Ctrl-C: it looks at the line every two seconds or so with a connect, and
// takes a receiver for exchanged once a look found the line silent and a
// later one found it answering again.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/device_run.h"
#include "cli/session_display.h"

namespace tavlink::cli {

// What one receiver's operation left for its record.
struct ReceiverRecord {
  int exitStatus = 0;
  std::string outcome = "succeeded";  // "failed", "stopped", "timed out"
  std::string failure;                // why, for the summary, when it failed
  std::string software, hardware;     // a connect's answer
  std::string dataFile;               // the file sent or saved
  std::string dataSha256;
  int errorCount = 0;
  // write-factory-data --verify: whether the receiver holds what was
  // written, and what differs when it does not.
  std::optional<bool> verified;
  std::string differences;
  std::chrono::system_clock::time_point start, end;
};

// What a command does for one receiver once its checks for all are done:
// `index` is the receiver's place on the command line, `options.line` its
// line; everything it says goes to `output`.
using ReceiverJob =
    std::function<ReceiverRecord(size_t index, const DeviceOptions& options, RunOutput& output)>;

// Runs the station: `job` on each of `lines`, and returns the exit status: 0 when every
// receiver succeeded, 130 after Ctrl-C, else 1 (a receiver that --timeout
// stopped included). One receiver without --repeat is the plain command, with
// its own exit status (3 when --timeout stopped it). `operation` names the
// command in records and rows.
int RunStation(Env& env, const DeviceOptions& options, const std::vector<ReceiverLine>& lines,
               const std::string& operation, const ReceiverJob& job);

// Fills a record's outcome from how its run ended.
void SetOutcome(ReceiverRecord& record, const DeviceRun& run, TransferOutcome outcome);

// One receiver's record as the JSON object --report writes.
std::string RecordJson(const ReceiverLine& line, const std::string& operation,
                       const ReceiverRecord& record);

}  // namespace tavlink::cli
