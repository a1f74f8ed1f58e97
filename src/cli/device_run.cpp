#include "cli/device_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

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
  if (options.timeoutSeconds > 0) console.timeout = std::chrono::seconds(options.timeoutSeconds);
  console.lineDescription = options.line.description;
  // On the factory line dozens of sessions wait at once, and each idle
  // period wakes every one of them: a quarter of a second still answers
  // Ctrl-C at once to a person, as the live table is redrawn that often.
  if (!options.receiverName.empty()) console.idlePeriod = std::chrono::milliseconds(250);
  return console;
}

ReceiverLine PortLine(int port, SettingStore& settings) {
  return ReceiverLine::OfPort(
      port, ResolveComDevice(port, settings.ReadDevice(port)),
      "name another with --device PATH, --port N or " + ComEnvironmentName(port) + ".");
}

// The devices of a devices file, one entry each: blanks around an entry are
// dropped, and empty entries and "#" comments skipped.
std::optional<std::vector<std::string>> DevicesFrom(Terminal& terminal, const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    terminal.Err("tavlink-cli: cannot read " + path + ": no such readable file\n");
    return std::nullopt;
  }
  std::vector<std::string> devices;
  for (std::string entry; std::getline(in, entry);) {
    const size_t first = entry.find_first_not_of(" \t\r");
    if (first == std::string::npos || entry[first] == '#') continue;
    const size_t last = entry.find_last_not_of(" \t\r");
    devices.push_back(entry.substr(first, last - first + 1));
  }
  return devices;
}

// Whether two device paths lead to the same line: the same device behind
// two names (a link under /dev/serial/by-id and its ttyUSB) is one line.
// The paths are compared with their links resolved (the library's
// equivalent() takes no devices); as text when one cannot be resolved.
bool SameLine(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code errorA, errorB;
  const std::filesystem::path realA = std::filesystem::canonical(a, errorA);
  const std::filesystem::path realB = std::filesystem::canonical(b, errorB);
  return !errorA && !errorB && realA == realB;
}

}  // namespace

std::optional<std::vector<ReceiverLine>> ChooseLines(Env& env, const DeviceOptions& options) {
  const std::unique_ptr<SettingStore> settings = env.openSettings();
  std::vector<ReceiverLine> lines;
  for (const int port : options.ports) lines.push_back(PortLine(port, *settings));
  std::vector<std::string> devices = options.devices;
  if (!options.devicesFrom.empty()) {
    const auto listed = DevicesFrom(env.terminal, options.devicesFrom);
    if (!listed) return std::nullopt;
    devices.insert(devices.end(), listed->begin(), listed->end());
  }
  for (const std::string& device : devices) lines.push_back(ReceiverLine::OfDevice(device));
  if (lines.empty()) {
    const int port = settings->ReadPort().value_or(0);
    if (port <= 0) {
      env.terminal.Err(
          "tavlink-cli: no port chosen: give --port N (COM<N>) or --device PATH, or choose a "
          "port in the desktop tool's Setup Comm.\n");
      return std::nullopt;
    }
    lines.push_back(PortLine(port, *settings));
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (SameLine(lines[i].devicePath, lines[j].devicePath)) {
        env.terminal.Err("tavlink-cli: " + lines[j].description + " and " + lines[i].description +
                         " are the same line (" + lines[i].devicePath + "); name each once.\n");
        return std::nullopt;
      }
    }
  }
  return lines;
}

DeviceRun::DeviceRun(Env& env, const DeviceOptions& options, RunOutput& output)
    : env_(env),
      view_(env, ConsoleOptionsOf(options), output.Display()),
      reporter_(view_),
      trace_(env, view_, options.trace, options.receiverName),
      line_(options.line) {}

TransferOutcome DeviceRun::Run(const TransferRequest& request) {
  // Outlives the session, which closes the port.
  const TransferInterrupts interruptsCancel(env_.interrupts);
  const TransferOutcome outcome =
      RunSession(view_, line_, {env_.clock, reporter_, &trace_, env_.makeDevice}, request);
  view_.CloseMeter();
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
