// The device commands of tavlink-cli: each runs one transfer session, the
// same session logic as the desktop window, with the console as its window.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/console_host.h"
#include "cli/device_run.h"
#include "cli/output_file.h"
#include "cli/output_names.h"
#include "cli/ports_listing.h"
#include "cli/sha256.h"
#include "cli/station.h"
#include "cli/terminal.h"
#include "data/data_text.h"
#include "files/data_text_file.h"
#include "files/input_file.h"
#include "files/save_target.h"
#include "link/port_names.h"
#include "link/serial_ports.h"
#include "channels/diff_format.h"
#include "operations/factory_verification.h"
#include "operations/receiver_operations.h"
#include "operations/rom_image.h"
#include "settings/setting_store.h"
#include "transfer/transfer_runner.h"

namespace tavlink::cli {
namespace {

// 8160 as "8,160". (Built by appending: GCC 12 at -O3 takes an insert
// into a string for an overlapping copy.)
std::string Grouped(uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

// "1 satellite", "3 satellites".
std::string Count(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

// Before anything is sent that changes the receiver: what goes where.
void SaySending(RunOutput& output, const std::string& what, const DeviceOptions& options) {
  output.Message("tavlink-cli: sending " + what + " to " + options.line.description + ".");
}

// What every device command has: its env, the lines it serves and its
// options.
struct Command {
  Env& env;
  const DeviceOptions& options;
  const std::vector<ReceiverLine>& lines;
};

// The data file of a record, with its fingerprint.
void RecordFile(ReceiverRecord& record, const std::string& path) {
  record.dataFile = path;
  record.dataSha256 = Sha256OfFile(path).value_or("");
}

// Marks a record failed, with `why` for the summary and the report.
void MarkFailed(ReceiverRecord& record, std::string why, int exitStatus = kExitFailure) {
  record.exitStatus = exitStatus;
  record.outcome = "failed";
  record.failure = std::move(why);
}

// "3 satellites, 9 transponders and 16 services": what a block holds.
std::string CountsText(const BlockCounts& counts, const char* lastJoin) {
  return Count(counts.satellites, "satellite", "satellites") + ", " +
         Count(counts.transponders, "transponder", "transponders") + lastJoin +
         Count(counts.services, "service", "services");
}

int RunConnect(const Command& command) {
  Env& env = command.env;
  return RunStation(env, command.options, command.lines, "connect",
                    [&env](size_t, const DeviceOptions& options, RunOutput& output) {
                      ReceiverRecord record;
                      DeviceRun run(env, options, output);
                      ConsoleHost host(env.terminal, options.yes, &output, &run);
                      const ConnectResult result = ConnectToReceiver(host);
                      SetOutcome(record, run, result.outcome);
                      if (!result.connected) {
                        output.Message("tavlink-cli: not connected.");
                        run.View().SayNoAnswerHint();
                        if (record.exitStatus == kExitOk) MarkFailed(record, "not connected");
                        return record;
                      }
                      record.software = result.softwareVersion;
                      record.hardware = result.hardwareVersion;
                      output.Result("Software version: " + record.software);
                      output.Result("Hardware version: " + record.hardware);
                      return record;
                    });
}

int RunUpgrade(const Command& command) {
  Env& env = command.env;
  ConsoleHost checks(env.terminal, command.options.yes, nullptr);
  const std::optional<uint64_t> length = CheckRomImageFile(checks, command.options.file);
  if (!length) return kExitUsage;
  const std::string image =
      command.options.file + " (" + Grouped(*length - kRomHeaderSize) + " bytes)";
  return RunStation(
      env, command.options, command.lines, "upgrade",
      [&env, &image](size_t, const DeviceOptions& options, RunOutput& output) {
        ReceiverRecord record;
        RecordFile(record, options.file);
        SaySending(output, "the ROM image " + image, options);
        // Each receiver reads the image through a stream of its own.
        DeviceRun run(env, options, output);
        ConsoleHost host(env.terminal, options.yes, &output, &run);
        const UpgradeResult result = UpgradeSoftware(host, options.file);
        if (result.outcome == TransferOutcome::kNotRun) {
          MarkFailed(record, "the ROM image cannot be read", kExitUsage);
          return record;
        }
        SetOutcome(record, run, result.outcome);
        if (result.outcome == TransferOutcome::kFileFailed) {
          MarkFailed(record, "the ROM image cannot be read");
          return record;
        }
        if (record.exitStatus == kExitOk)
          output.Result("Upgraded from " + image + " in " + SecondsText(run.Seconds()));
        else
          run.View().SayNoAnswerHint();
        return record;
      });
}

int RunReadUserData(const Command& command) {
  Env& env = command.env;
  if (command.options.repeat) {
    env.terminal.Err(
        "tavlink-cli: read-user-data saves one file per receiver; --repeat would replace it. "
        "Repeat the command instead.\n");
    return kExitUsage;
  }
  const auto names = OutputNames(env.terminal, command.options.file, command.lines);
  if (!names) return kExitUsage;
  // Outputs that cannot be written are found before any receiver is asked.
  std::vector<std::unique_ptr<SaveTarget>> outputs;
  for (const std::string& name : *names) {
    outputs.push_back(PrepareOutput(env.terminal, name));
    if (!outputs.back()) return kExitUsage;
  }
  if (!command.options.yes && !env.terminal.CanAsk()) {
    env.terminal.Err(
        "tavlink-cli: read-user-data asks to turn the receiver off first, and there is no "
        "terminal to ask on: give --yes once it is off.\n");
    return kExitUsage;
  }
  ConsoleHost checks(env.terminal, command.options.yes, nullptr);
  if (!ConfirmReceiverOff(checks)) {
    env.terminal.Err("tavlink-cli: not confirmed; nothing read.\n");
    return kExitStopped;
  }
  return RunStation(
      env, command.options, command.lines, "read-user-data",
      [&](size_t index, const DeviceOptions& options, RunOutput& output) {
        ReceiverRecord record;
        // This run's own block; the file is written only from a whole, valid
        // image, so a failed read never destroys an existing file.
        auto block = std::make_unique<ReceiverDataBlock>();
        const std::string& name = (*names)[index];
        DeviceRun run(env, options, output);
        ConsoleHost host(env.terminal, options.yes, &output, &run);
        const UserDataRead read = ReadUserDataToFile(host, *outputs[index], name, *block);
        SetOutcome(record, run, read.outcome);
        if (read.outcome != TransferOutcome::kSucceeded) {
          run.View().SayNoAnswerHint();
          return record;
        }
        if (!read.saved.saved) {
          MarkFailed(record, block->IsValid() ? "cannot write " + name
                                              : "factory data of the receiver is not valid");
          return record;
        }
        record.dataFile = name;
        record.dataSha256 = Sha256Hex(read.saved.text);
        output.Result("Saved " + CountsText(CountsOf(*block), " and ") + " to " + name);
        return record;
      });
}

// After a factory write: the receiver's user data read back and compared
// with what was sent, in the same run (so --timeout bounds both).
void VerifyWrite(ReceiverRecord& record, DeviceRun& run, ConsoleHost& host, RunOutput& output,
                 const ReceiverDataBlock& sent) {
  output.Message("tavlink-cli: turn the receiver on " + run.Line().description +
                 " off and on again: its user data is read back when it answers.");
  const Verification verification = VerifyFactoryData(host, sent);
  if (verification.outcome != TransferOutcome::kSucceeded) {
    SetOutcome(record, run, verification.outcome);
    if (record.exitStatus == kExitOk) MarkFailed(record, "not verified: not read back");
    record.verified = false;
    return;
  }
  record.verified = verification.verified;
  if (verification.verified) {
    output.Result("Verified: the receiver holds what was written.");
    return;
  }
  const std::string summary = verification.differences.empty()
                                  ? verification.listing.substr(0, verification.listing.find('\n'))
                                  : channels::DiffSummary(verification.differences);
  record.differences = summary;
  MarkFailed(record, "not verified: " + summary);
  output.Result(verification.summary);
  for (size_t at = 0; at < verification.listing.size();) {
    const size_t end = verification.listing.find('\n', at);
    output.Result(verification.listing.substr(at, end == std::string::npos ? end : end - at));
    at = end == std::string::npos ? verification.listing.size() : end + 1;
  }
}

int RunWriteFactoryData(const Command& command) {
  Env& env = command.env;
  const DeviceOptions& options = command.options;
  auto block = std::make_unique<ReceiverDataBlock>();
  ConsoleHost checks(env.terminal, options.yes, nullptr);
  switch (LoadDataText(checks, options.file, *block)) {
    case LoadResult::kLoaded:
      break;
    case LoadResult::kFileFailed:
      return kExitUsage;  // nothing is sent
    case LoadResult::kRefused:
      return kExitFailure;
  }
  const BlockCounts counts = CountsOf(*block);
  if (counts.Empty() && !options.yes && !env.terminal.CanAsk()) {
    // Such a text empties the receiver's data: only on purpose.
    env.terminal.Err("tavlink-cli: " + options.file +
                     " holds no satellite, transponder or service: writing it empties the "
                     "receiver's data. Give --yes to write it anyway.\n");
    return kExitUsage;
  }
  if (!ConfirmFactoryData(checks, options.file, *block)) {
    env.terminal.Err("tavlink-cli: nothing written.\n");
    return kExitUsage;
  }
  if (options.verify && !options.yes && !env.terminal.CanAsk()) {
    env.terminal.Err(
        "tavlink-cli: --verify asks to turn the receiver off and on again after the write, and "
        "there is no terminal to ask on: give --yes as well.\n");
    return kExitUsage;
  }
  const std::string antenna = counts.antennaConfig == -1
                                  ? std::string("no antenna configuration")
                                  : "antenna configuration " + std::to_string(counts.antennaConfig);
  const std::string what = "the factory data of " + options.file + " (" + CountsText(counts, ", ") +
                           ", " + antenna + ")";
  const std::string sha256 = Sha256OfFile(options.file).value_or("");
  return RunStation(env, options, command.lines, "write-factory-data",
                    [&](size_t, const DeviceOptions& own, RunOutput& output) {
                      ReceiverRecord record;
                      record.dataFile = own.file;
                      record.dataSha256 = sha256;
                      auto copy =
                          std::make_unique<ReceiverDataBlock>(*block);  // a block per session
                      SaySending(output, what, own);
                      DeviceRun run(env, own, output);
                      ConsoleHost host(env.terminal, own.yes, &output, &run);
                      SetOutcome(record, run, WriteFactoryData(host, *copy));
                      if (record.exitStatus != kExitOk) {
                        run.View().SayNoAnswerHint();
                        return record;
                      }
                      output.Result("Wrote factory data (" +
                                    std::to_string(ReceiverDataBlock::kSize / kFactoryPiece) +
                                    " blocks) in " + SecondsText(run.Seconds()));
                      if (own.verify) VerifyWrite(record, run, host, output, *copy);
                      return record;
                    });
}

int RunBackup(const Command& command) {
  Env& env = command.env;
  const auto target = PrepareOutput(env.terminal, command.options.file);
  if (!target) return kExitUsage;
  return RunStation(env, command.options, command.lines, "backup",
                    [&env, &target](size_t, const DeviceOptions& options, RunOutput& out) {
                      ReceiverRecord record;
                      DeviceRun run(env, options, out);
                      ConsoleHost host(env.terminal, options.yes, &out, &run);
                      const BackupResult result = BackupUserData(host, *target, options.file);
                      SetOutcome(record, run, result.outcome);
                      if (record.exitStatus != kExitOk) return record;
                      if (!result.saved) {
                        MarkFailed(record, "cannot write " + options.file);
                        return record;
                      }
                      RecordFile(record, options.file);
                      out.Result("Backed up the user data to " + options.file + " (" +
                                 Grouped(result.bytes) + " bytes) in " +
                                 SecondsText(run.Seconds()));
                      return record;
                    });
}

int RunRestore(const Command& command) {
  Env& env = command.env;
  int error = 0;
  const std::optional<InputFile> file = OpenInputFile(command.options.file, &error);
  if (!file) {
    ConsoleHost(env.terminal, command.options.yes, nullptr)
        .FileFailed(FileAction::kOpen, command.options.file, error);
    return kExitUsage;
  }
  const std::string backup = command.options.file + " (" + Grouped(file->length) + " bytes)";
  return RunStation(env, command.options, command.lines, "restore",
                    [&](size_t, const DeviceOptions& options, RunOutput& output) {
                      ReceiverRecord record;
                      RecordFile(record, options.file);
                      SaySending(output, "the user data of " + backup, options);
                      DeviceRun run(env, options, output);
                      ConsoleHost host(env.terminal, options.yes, &output, &run);
                      const RestoreResult result = RestoreUserData(host, options.file);
                      if (result.outcome == TransferOutcome::kNotRun) {
                        MarkFailed(record, "cannot read " + options.file, kExitUsage);
                        return record;
                      }
                      SetOutcome(record, run, result.outcome);
                      if (record.exitStatus == kExitOk)
                        output.Result("Restored the user data from " + backup + " in " +
                                      SecondsText(run.Seconds()));
                      return record;
                    });
}

int RunPorts(Env& env, bool json) {
  const PortsListing listing = GatherPorts(ListSerialDevices(), *env.openSettings());
  env.terminal.Out(json ? PortsJson(listing) : PortsText(listing));
  return kExitOk;
}

// Adds the global options to `app`; subcommands let them through, so they
// may stand before or after the command.
void AddGlobalOptions(CLI::App& app, DeviceOptions& options) {
  app.add_option("--port", options.ports,
                 "use serial port COM<N>; again for more receivers at once")
      ->check(CLI::Range(1, 255))
      ->take_all();
  app.add_option("--device", options.devices,
                 "use the serial device PATH directly; again for more receivers at once")
      ->take_all();
  app.add_option("--devices-from", options.devicesFrom,
                 "serve the devices listed in FILE, one per line");
  app.add_option("--report", options.report,
                 "append one JSON record per receiver and operation to FILE");
  app.add_flag("--repeat", options.repeat,
               "serve each line again whenever its receiver is exchanged, until Ctrl-C");
  app.add_flag("--yes,-y", options.yes, "answer questions with yes (for scripts)");
  app.add_flag("--trace", options.trace, "print every frame on standard error");
  app.add_option("--timeout", options.timeoutSeconds,
                 "stop the operation after SECONDS, as the Cancel button does (exit status 3)")
      ->check(CLI::PositiveNumber);
}

}  // namespace

void RegisterDeviceCommands(CLI::App& app, Env& env, int* exitStatus) {
  auto options = std::make_shared<DeviceOptions>();
  AddGlobalOptions(app, *options);

  struct Entry {
    const char* name;
    const char* help;
    const char* fileHelp;  // null: no file argument
    bool many;             // may serve several receivers at once
    int (*run)(const Command&);
  };
  static const Entry commands[] = {
      {"connect", "Connect to the receiver and print its software and hardware versions", nullptr,
       true, RunConnect},
      {"upgrade", "Upgrade the receiver's software from a ROM image", "ROM image file", true,
       RunUpgrade},
      {"read-user-data",
       "Read the receiver's user data and save it as a data text file, after asking to turn "
       "the receiver off (--yes: it is off; several receivers: a folder, or a name with "
       "{port}, {device} or {n})",
       "data text file to write", true, RunReadUserData},
      {"write-factory-data", "Write a data text file into the receiver as factory data",
       "data text file to send", true, RunWriteFactoryData},
      {"backup", "Back up the receiver's user data into a file", "backup file to write", false,
       RunBackup},
      {"restore", "Restore the receiver's user data from a backup file", "backup file to send",
       false, RunRestore},
  };
  for (const Entry& entry : commands) {
    CLI::App* sub = app.add_subcommand(entry.name, entry.help);
    sub->fallthrough();
    if (entry.fileHelp) sub->add_option("FILE", options->file, entry.fileHelp)->required();
    if (entry.run == RunWriteFactoryData)
      sub->add_flag("--verify", options->verify,
                    "after the write, read the receiver's user data back (after it is turned off "
                    "and on again) and compare it with what was sent; exit status 1 when they "
                    "differ");
    sub->callback([&env, options, exitStatus, entry] {
      const auto lines = ChooseLines(env, *options);
      if (!lines) {
        *exitStatus = kExitUsage;
        return;
      }
      if ((lines->size() > 1 || options->repeat) && !entry.many) {
        env.terminal.Err("tavlink-cli: " + std::string(entry.name) +
                         " serves one receiver at a time.\n");
        *exitStatus = kExitUsage;
        return;
      }
      *exitStatus = entry.run(Command{env, *options, *lines});
    });
  }
  CLI::App* ports = app.add_subcommand(
      "ports", "List the serial devices, what COM1 and COM2 open and which port is stored");
  auto json = std::make_shared<bool>(false);
  ports->add_flag("--json", *json, "print the list as JSON, for scripts");
  ports->callback([&env, exitStatus, json] { *exitStatus = RunPorts(env, *json); });
}

}  // namespace tavlink::cli
