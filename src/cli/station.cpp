#include "cli/station.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/interrupts.h"
#include "cli/iso_time.h"
#include "cli/json_text.h"
#include "cli/station_board.h"
#include "cli/terminal.h"
#include "files/file_error.h"
#include "operations/receiver_operations.h"

namespace tavlink::cli {
namespace {

// The --report file, opened for appending before anything is sent; each
// record is appended, with its newline, as it comes.
class ReportFile {
 public:
  // Nothing to write without a path. ok() is false when the file cannot
  // be opened, after saying why.
  ReportFile(Terminal& terminal, const std::string& path) : terminal_(terminal), path_(path) {
    if (path_.empty()) return;
    errno = 0;
    file_.reset(std::fopen(path_.c_str(), "a"));
    if (!file_) SayCannotWrite();
  }
  bool ok() const { return path_.empty() || file_ != nullptr; }

  void Append(const ReceiverLine& line, const std::string& operation,
              const ReceiverRecord& record) {
    if (!file_) return;
    const std::string text = RecordJson(line, operation, record) + "\n";
    std::lock_guard lock(mutex_);
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_.get()) != text.size() ||
        std::fflush(file_.get()) != 0)
      SayCannotWrite();
  }

 private:
  void SayCannotWrite() {
    terminal_.Err("tavlink-cli: cannot write the report " + path_ + ": " +
                  DescribeFileError(errno) + "\n");
  }

  Terminal& terminal_;
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::string path_;
  std::unique_ptr<std::FILE, Closer> file_;
  std::mutex mutex_;
};

// Waits `duration`, or less when an interrupt comes; false after one.
bool Rest(Env& env, Clock::Duration duration, int interruptsBefore) {
  const Clock::TimePoint end = env.clock.Now() + duration;
  while (env.clock.Now() < end) {
    if (env.interrupts.Count() != interruptsBefore) return false;
    env.clock.SleepFor(std::chrono::milliseconds(100));
  }
  return env.interrupts.Count() == interruptsBefore;
}

// One connect on the receiver's line: whether it answered; nothing when
// it was stopped.
std::optional<bool> Answers(Env& env, const DeviceOptions& options, RunOutput& output) {
  DeviceRun run(env, options, output);
  ConsoleHost host(env.terminal, options.yes, &output, &run);
  const ConnectResult result = ConnectToReceiver(host);
  if (result.outcome == TransferOutcome::kStopped) return std::nullopt;
  return result.connected;
}

// Until the receiver on this line has been exchanged: it stops answering
// (it was taken away), then answers again (the next one is on). The looks
// at the line go through `quiet`: a line without a receiver is no news.
// False when the wait was interrupted.
bool AwaitNextReceiver(Env& env, const DeviceOptions& options, RunOutput& output, RunOutput& quiet,
                       int interruptsBefore) {
  output.Message("tavlink-cli: waiting for the next receiver on this line");
  for (;;) {  // the served receiver is still there
    const std::optional<bool> answered = Answers(env, options, quiet);
    if (!answered) return false;
    if (!*answered) break;
    if (!Rest(env, std::chrono::seconds(2), interruptsBefore)) return false;
  }
  for (;;) {  // nobody there: each silent connect takes its time-out
    const std::optional<bool> answered = Answers(env, options, quiet);
    if (!answered) return false;
    if (*answered) return true;
    if (!Rest(env, std::chrono::seconds(1), interruptsBefore)) return false;
  }
}

// "succeeded", "stopped", "failed: no answer": a receiver's row once done.
std::string RowOutcome(const ReceiverRecord& record) {
  if (record.exitStatus == kExitOk) return record.verified ? "verified" : "succeeded";
  if (record.failure.empty() || record.failure == record.outcome) return record.outcome;
  return record.outcome + ": " + record.failure;
}

std::string Summary(const std::vector<ReceiverLine>& lines, const std::vector<ReceiverRecord>& last,
                    const std::vector<int>& served, bool repeat) {
  size_t succeeded = 0;
  size_t verified = 0;
  std::string failures;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (last[i].verified.value_or(false)) ++verified;
    if (last[i].exitStatus == kExitOk) {
      ++succeeded;
      continue;
    }
    failures += (failures.empty() ? "" : "; ") + lines[i].shortName + ": " +
                (last[i].failure.empty() ? last[i].outcome : last[i].failure);
  }
  std::string text =
      std::to_string(succeeded) + " of " + std::to_string(lines.size()) + " receivers succeeded";
  const bool verifying = std::any_of(last.begin(), last.end(),
                                     [](const ReceiverRecord& r) { return r.verified.has_value(); });
  if (verifying) text += ", " + std::to_string(verified) + " verified";
  if (!failures.empty()) text += "; failed: " + failures;
  if (repeat) {
    text += ". Served per line:";
    for (size_t i = 0; i < lines.size(); ++i)
      text += " " + lines[i].shortName + " " + std::to_string(served[i]);
  }
  return text;
}

}  // namespace

void SetOutcome(ReceiverRecord& record, const DeviceRun& run, TransferOutcome outcome) {
  record.exitStatus = run.ExitStatus(outcome);
  const ConsoleView& view = run.View();
  record.errorCount = view.ErrorCount();
  if (outcome == TransferOutcome::kSucceeded) return;
  record.outcome = record.exitStatus == kExitTimedOut  ? "timed out"
                   : record.exitStatus == kExitStopped ? "stopped"
                                                       : "failed";
  // A stop is its own reason; what the session said last is not.
  const bool stopped = outcome == TransferOutcome::kStopped;
  record.failure = stopped ? "" : view.SawSilence() ? "no answer" : view.LastNote();
  if (record.failure.empty()) record.failure = record.outcome;
}

std::string RecordJson(const ReceiverLine& line, const std::string& operation,
                       const ReceiverRecord& record) {
  std::string json = "{";
  json += "\"port\":" + (line.byPort ? JsonString(line.shortName) : "null");
  json += ",\"device\":" + JsonString(line.devicePath);
  json += ",\"operation\":" + JsonString(operation);
  json += ",\"software\":" + JsonOrNull(record.software);
  json += ",\"hardware\":" + JsonOrNull(record.hardware);
  json += ",\"start\":" + JsonString(IsoTime(record.start));
  json += ",\"end\":" + JsonString(IsoTime(record.end));
  json += ",\"outcome\":" + JsonString(record.outcome);
  json += ",\"failure\":" + JsonOrNull(record.failure);
  json += ",\"errors\":" + std::to_string(record.errorCount);
  json += ",\"file\":" + JsonOrNull(record.dataFile);
  json += ",\"sha256\":" + JsonOrNull(record.dataSha256);
  if (record.verified) {
    json += ",\"verified\":" + std::string(*record.verified ? "true" : "false");
    json += ",\"differences\":" + JsonOrNull(record.differences);
  }
  return json + "}";
}

int RunStation(Env& env, const DeviceOptions& options, const std::vector<ReceiverLine>& lines,
               const std::string& operation, const ReceiverJob& job) {
  ReportFile report(env.terminal, options.report);
  if (!report.ok()) return kExitUsage;  // nothing sent
  const int interruptsBefore = env.interrupts.Count();
  auto runOnce = [&](size_t i, RunOutput& output, const DeviceOptions& base) {
    DeviceOptions own = base;
    own.line = lines[i];
    if (lines.size() > 1) own.receiverName = lines[i].shortName;
    ReceiverRecord record;
    record.start = env.wallClock.Now();
    ReceiverRecord done = job(i, own, output);
    done.start = record.start;
    done.end = env.wallClock.Now();
    report.Append(lines[i], operation, done);
    return done;
  };

  if (lines.size() == 1 && !options.repeat) {
    StandardOutput output(env.terminal, env.terminal.ErrIsTerminal() && !options.trace);
    return runOnce(0, output, options).exitStatus;
  }

  // One Ctrl-C stops every receiver: no session asks its own question (the
  // upgrade's), which would all come at once over the table and take one
  // answer. The command's own questions were asked before.
  DeviceOptions atStation = options;
  atStation.yes = true;

  // Between one receiver's sessions (a look at its line, a file saved)
  // an interrupt is still the Cancel of the others, not an end at once.
  const TransferInterrupts interruptsCancel(env.interrupts);
  std::vector<StationBoard::Receiver> receivers;
  for (const ReceiverLine& line : lines) receivers.push_back({line.shortName, line.devicePath});
  StationBoard board(env.terminal, receivers, operation,
                     env.terminal.ErrTakesEscapes() && !options.trace);
  std::vector<ReceiverRecord> last(lines.size());
  std::vector<int> served(lines.size(), 0);
  std::vector<std::thread> threads;
  std::atomic<size_t> running{lines.size()};
  for (size_t i = 0; i < lines.size(); ++i) {
    threads.emplace_back([&, i] {
      RunOutput& output = board.Output(i);
      for (;;) {
        board.Start(i);
        last[i] = runOnce(i, output, atStation);
        if (last[i].exitStatus == kExitOk) ++served[i];
        board.Finish(i, RowOutcome(last[i]));
        if (!options.repeat || env.interrupts.Count() != interruptsBefore) break;
        DeviceOptions own = atStation;
        own.line = lines[i];
        if (lines.size() > 1) own.receiverName = lines[i].shortName;
        if (!AwaitNextReceiver(env, own, output, board.QuietOutput(i), interruptsBefore)) break;
      }
      running.fetch_sub(1);
    });
  }
  while (running.load() > 0) {
    env.clock.SleepFor(std::chrono::milliseconds(250));
    board.Paint();
  }
  for (std::thread& thread : threads) thread.join();
  board.Close();

  env.terminal.Err("tavlink-cli: " + Summary(lines, last, served, options.repeat) + ".\n");
  if (env.interrupts.Count() != interruptsBefore) return kExitStopped;
  for (const ReceiverRecord& record : last)
    if (record.exitStatus != kExitOk) return kExitFailure;
  return kExitOk;
}

}  // namespace tavlink::cli
