#include "cli/device_run.h"

#include <cstdio>

#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/terminal.h"
#include "link/port_names.h"
#include "settings/setting_store.h"

namespace tavlink::cli {
namespace {

ConsoleOptions ConsoleOptionsOf(const DeviceOptions& options) {
  ConsoleOptions console;
  console.assumeYes = options.yes;
  console.liveProgress = StderrIsTerminal() && !options.trace;
  if (options.timeoutSeconds > 0) console.timeout = std::chrono::seconds(options.timeoutSeconds);
  console.line = options.line.name;
  return console;
}

}  // namespace

std::optional<LineChoice> ChooseLine(const DeviceOptions& options) {
  if (!options.device.empty()) return LineChoice{1, options.device, options.device, ""};
  const auto settings = MakeSettingStore();
  const int port = options.port > 0 ? options.port : settings->ReadPort().value_or(0);
  if (port <= 0) {
    std::fprintf(stderr,
                 "tavlink-cli: no port chosen: give --port N (COM<N>) or --device PATH, or "
                 "choose a port in the desktop tool's Setup Comm.\n");
    return std::nullopt;
  }
  const ComDevice device = ResolveComDevice(port, settings->ReadDevice(port));
  const std::string name = ComPortName(port) + " (" + device.path + ")";
  return LineChoice{
      port, device.path, name,
      ComPortName(port) + " opens " + device.path + " (" + DescribeSource(port, device.source) +
          "): name another with --device PATH, --port N or " + ComEnvironmentName(port) + "."};
}

DeviceRun::DeviceRun(const DeviceOptions& options)
    : view_(ConsoleOptionsOf(options)),
      reporter_(view_),
      errors_(reporter_, options.line.hint),
      trace_(view_, options.trace),
      environment_{SystemClock(), errors_,
                   [path = options.line.path] { return MakeSerialDeviceAt(path); }, &trace_},
      portNumber_(options.line.portNumber) {}

TransferOutcome DeviceRun::Run(int operation, TransferFile* file, ReceiverDataBlock* block,
                               std::span<uint8_t> answer) {
  const TransferInterrupts interruptsCancel;  // outlives the session, which closes the port
  const TransferOutcome outcome =
      RunTransfer(view_, environment_, {portNumber_, operation, answer, file, block});
  view_.CloseLiveLine();
  return outcome;
}

int DeviceRun::ExitStatus(TransferOutcome outcome) const {
  switch (outcome) {
    case TransferOutcome::kSucceeded:
      return kExitOk;
    case TransferOutcome::kStopped:
      return view_.TimedOut() ? kExitTimedOut : kExitStopped;
    default:
      return kExitFailure;
  }
}

double DeviceRun::Seconds() const {
  return std::chrono::duration<double>(view_.Elapsed()).count();
}

}  // namespace tavlink::cli
