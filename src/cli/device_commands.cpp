// The device commands of tavlink-cli: each runs one transfer session, the
// same session logic as the desktop window, with the console as its window.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/device_run.h"
#include "cli/offline_files.h"
#include "cli/output_file.h"
#include "cli/ports_listing.h"
#include "cli/terminal.h"
#include "data/data_text.h"
#include "files/file_error.h"
#include "files/file_side.h"
#include "link/port_names.h"
#include "link/serial_ports.h"
#include "settings/setting_store.h"
#include "transfer/transfer_runner.h"

namespace tavlink::cli {
namespace {

// 8160 as "8,160".
std::string Grouped(uint64_t n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<size_t>(at), ",");
  return digits;
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

// The satellites, transponders and services of a block, as the writer
// counts them.
struct BlockCounts {
  long long satellites, transponders, services;
};
BlockCounts CountsOf(const ReceiverDataBlock& block) {
  return {std::clamp<long long>(block.sat_count(), 0, kMaxSatellites),
          std::clamp<long long>(block.tp_count(), 0, kMaxTransponders),
          std::clamp<long long>(block.service_count(), 0, kMaxServices)};
}

// Before anything is sent that changes the receiver: what goes where.
void SaySending(const std::string& what, const DeviceOptions& options) {
  std::fprintf(stderr, "tavlink-cli: sending %s to %s.\n", what.c_str(), options.line.name.c_str());
  std::fflush(stderr);
}

int RunConnect(const DeviceOptions& options) {
  uint8_t answer[kAnswerSize] = {};
  DeviceRun run(options);
  const TransferOutcome outcome = run.Run(OP_CONNECT, nullptr, nullptr, answer);
  if (answer[0] == 0) {
    std::fprintf(stderr, "tavlink-cli: not connected.\n");
    run.View().SayNoAnswerHint();
    return outcome == TransferOutcome::kSucceeded ? kExitFailure : run.ExitStatus(outcome);
  }
  std::printf("Software version: %s\nHardware version: %s\n",
              VersionText(answer, kSoftwareVersionAt).c_str(),
              VersionText(answer, kHardwareVersionAt).c_str());
  return kExitOk;
}

int RunUpgrade(const DeviceOptions& options) {
  uint64_t length = 0;
  FilePtr file = OpenPlainFile(options.file, &length);
  if (!file) return kExitUsage;
  int error = 0;
  switch (CheckRomImage(file.get(), length, &error)) {
    case RomCheck::kUnreadable:
      std::fprintf(stderr, "tavlink-cli: cannot read %s: %s\n", options.file.c_str(),
                   DescribeFileError(error).c_str());
      return kExitUsage;
    case RomCheck::kWrongImage:
      PrintBox("", kWrongRomImage);
      return kExitUsage;
    case RomCheck::kTooLong:
      PrintBox("", kWrongRomImage);
      std::fprintf(stderr,
                   "tavlink-cli: %s is too long for a ROM image: %llu bytes, at most %llu.\n",
                   options.file.c_str(), static_cast<unsigned long long>(length),
                   static_cast<unsigned long long>(kMaxRomImageSize));
      return kExitUsage;
    case RomCheck::kGood:
      break;
  }
  const std::string image = options.file + " (" + Grouped(length - kRomHeaderSize) + " bytes)";
  SaySending("the ROM image " + image, options);
  StdioTransferFile body(file.get());  // positioned just after the header
  DeviceRun run(options);
  const TransferOutcome outcome = run.Run(OP_UPGRADE, &body);
  if (outcome != TransferOutcome::kSucceeded) return run.ExitStatus(outcome);
  std::printf("Upgraded from %s in %s\n", image.c_str(), SecondsText(run.Seconds()).c_str());
  return kExitOk;
}

int RunReadUserData(const DeviceOptions& options) {
  // An output that cannot be written is found before the receiver is asked.
  const auto output = OutputFile::Prepare(options.file);
  if (!output) return kExitUsage;
  if (!AskYesNo(kTurnOffReceiver, options.yes)) {
    std::fprintf(stderr, "tavlink-cli: not confirmed; answer on a terminal or give --yes.\n");
    return kExitStopped;
  }
  // This run's own block; the file is written only from a whole, valid
  // image, so a failed read never destroys an existing file.
  auto block = std::make_unique<ReceiverDataBlock>();
  DeviceRun run(options);
  const TransferOutcome outcome = run.Run(OP_READ_USER_DATA, nullptr, block.get());
  const std::optional<std::string> text =
      outcome == TransferOutcome::kSucceeded ? DataTextToSave(*block) : std::nullopt;
  if (!text) {
    PrintBox("", kFactoryDataNotValid);
    run.View().SayNoAnswerHint();
    return outcome == TransferOutcome::kSucceeded ? kExitFailure : run.ExitStatus(outcome);
  }
  std::fwrite(text->data(), 1, text->size(), output->stream());
  if (!output->Commit()) return kExitFailure;
  const BlockCounts counts = CountsOf(*block);
  std::printf("Saved %s, %s and %s to %s\n",
              Count(counts.satellites, "satellite", "satellites").c_str(),
              Count(counts.transponders, "transponder", "transponders").c_str(),
              Count(counts.services, "service", "services").c_str(), options.file.c_str());
  std::fflush(stdout);
  WarnIfTextDoesNotReadBack(options.file, *text);
  return kExitOk;
}

int RunWriteFactoryData(const DeviceOptions& options) {
  auto block = std::make_unique<ReceiverDataBlock>();
  const int status = ReadDataTextFile(options.file, *block);
  if (status != kExitOk) return status;  // nothing is sent
  const BlockCounts counts = CountsOf(*block);
  if (counts.satellites + counts.transponders + counts.services == 0) {
    // Such a text empties the receiver's data: only on purpose.
    const std::string what = options.file +
                             " holds no satellite, transponder or service: writing it empties "
                             "the receiver's data.";
    if (!options.yes && !StdinIsTerminal()) {
      std::fprintf(stderr, "tavlink-cli: %s Give --yes to write it anyway.\n", what.c_str());
      return kExitUsage;
    }
    if (!AskYesNo(what + " Write it anyway?", options.yes)) {
      std::fprintf(stderr, "tavlink-cli: nothing written.\n");
      return kExitUsage;
    }
  }
  const int antenna = block->antenna_config();
  SaySending("the factory data of " + options.file + " (" +
                 Count(counts.satellites, "satellite", "satellites") + ", " +
                 Count(counts.transponders, "transponder", "transponders") + ", " +
                 Count(counts.services, "service", "services") + ", " +
                 (antenna == -1 ? std::string("no antenna configuration")
                                : "antenna configuration " + std::to_string(antenna)) +
                 ")",
             options);
  DeviceRun run(options);
  const TransferOutcome outcome = run.Run(OP_WRITE_FACTORY, nullptr, block.get());
  if (outcome != TransferOutcome::kSucceeded) {
    run.View().SayNoAnswerHint();
    return run.ExitStatus(outcome);
  }
  std::printf("Wrote factory data (%d blocks) in %s\n",
              static_cast<int>(ReceiverDataBlock::kSize / 2048),
              SecondsText(run.Seconds()).c_str());
  return kExitOk;
}

int RunBackup(const DeviceOptions& options) {
  // The worker writes into the output as the data arrives; the backup
  // reaches its file only when it is complete.
  const auto output = OutputFile::Prepare(options.file);
  if (!output) return kExitUsage;
  StdioTransferFile file(output->stream());
  DeviceRun run(options);
  const TransferOutcome outcome = run.Run(OP_BACKUP, &file);
  if (outcome != TransferOutcome::kSucceeded) return run.ExitStatus(outcome);
  const long written = std::ftell(output->stream());
  if (!output->Commit()) return kExitFailure;
  std::printf("Backed up the user data to %s (%s bytes) in %s\n", options.file.c_str(),
              Grouped(static_cast<uint64_t>(std::max(written, 0L))).c_str(),
              SecondsText(run.Seconds()).c_str());
  return kExitOk;
}

int RunRestore(const DeviceOptions& options) {
  uint64_t length = 0;
  FilePtr file = OpenPlainFile(options.file, &length);
  if (!file) return kExitUsage;
  const std::string backup = options.file + " (" + Grouped(length) + " bytes)";
  SaySending("the user data of " + backup, options);
  StdioTransferFile data(file.get());
  DeviceRun run(options);
  const TransferOutcome outcome = run.Run(OP_RESTORE, &data);
  if (outcome != TransferOutcome::kSucceeded) return run.ExitStatus(outcome);
  std::printf("Restored the user data from %s in %s\n", backup.c_str(),
              SecondsText(run.Seconds()).c_str());
  return kExitOk;
}

// The ports list is a result: standard output.
int RunPorts(bool json) {
  const PortsListing listing = GatherPorts(ListSerialDevices(), *MakeSettingStore());
  const std::string text = json ? PortsJson(listing) : PortsText(listing);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kExitOk;
}

// Adds the global options to `app`; subcommands let them through, so they
// may stand before or after the command.
void AddGlobalOptions(CLI::App& app, DeviceOptions& options) {
  auto* port =
      app.add_option("--port", options.port, "use serial port COM<N>")->check(CLI::Range(1, 255));
  app.add_option("--device", options.device, "use the serial device PATH directly")->excludes(port);
  app.add_flag("--yes,-y", options.yes, "answer questions with yes (for scripts)");
  app.add_flag("--trace", options.trace, "print every frame on standard error");
  app.add_option("--timeout", options.timeoutSeconds,
                 "stop the operation after SECONDS, as the Cancel button does (exit status 3)")
      ->check(CLI::PositiveNumber);
}

}  // namespace

void RegisterDeviceCommands(CLI::App& app, int* exitStatus) {
  auto options = std::make_shared<DeviceOptions>();
  AddGlobalOptions(app, *options);

  struct Command {
    const char* name;
    const char* help;
    const char* fileHelp;  // null: no file argument
    int (*run)(const DeviceOptions&);
  };
  static const Command commands[] = {
      {"connect", "Connect to the receiver and print its software and hardware versions", nullptr,
       RunConnect},
      {"upgrade", "Upgrade the receiver's software from a ROM image", "ROM image file", RunUpgrade},
      {"read-user-data", "Read the receiver's user data and save it as a data text file",
       "data text file to write", RunReadUserData},
      {"write-factory-data", "Write a data text file into the receiver as factory data",
       "data text file to send", RunWriteFactoryData},
      {"backup", "Back up the receiver's user data into a file", "backup file to write", RunBackup},
      {"restore", "Restore the receiver's user data from a backup file", "backup file to send",
       RunRestore},
  };
  for (const Command& command : commands) {
    CLI::App* sub = app.add_subcommand(command.name, command.help);
    sub->fallthrough();
    if (command.fileHelp) sub->add_option("FILE", options->file, command.fileHelp)->required();
    sub->callback([options, exitStatus, run = command.run] {
      const std::optional<LineChoice> line = ChooseLine(*options);
      if (!line) {
        *exitStatus = kExitUsage;
        return;
      }
      options->line = *line;
      *exitStatus = run(*options);
    });
  }
  CLI::App* ports = app.add_subcommand(
      "ports", "List the serial devices, what COM1 and COM2 open and which port is stored");
  auto json = std::make_shared<bool>(false);
  ports->add_flag("--json", *json, "print the list as JSON, for scripts");
  ports->callback([exitStatus, json] { *exitStatus = RunPorts(*json); });
}

}  // namespace tavlink::cli
