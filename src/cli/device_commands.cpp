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
#include "cli/device_run.h"
#include "cli/factory_line.h"
#include "cli/offline_files.h"
#include "cli/output_file.h"
#include "cli/ports_listing.h"
#include "cli/sha256.h"
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
void SaySending(RunOutput& output, const std::string& what, const DeviceOptions& options) {
  output.Message("tavlink-cli: sending " + what + " to " + options.line.name + ".");
}

// What every device command has: the lines it serves and its options.
struct Command {
  const DeviceOptions& options;
  const std::vector<LineChoice>& lines;
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

int RunConnect(const Command& command) {
  return RunOnReceivers(command.options, command.lines, "connect",
                        [](size_t, const DeviceOptions& options, RunOutput& output) {
                          ReceiverRecord record;
                          uint8_t answer[kAnswerSize] = {};
                          DeviceRun run(options, output);
                          SetOutcome(record, run, run.Run(OP_CONNECT, nullptr, nullptr, answer));
                          if (answer[0] == 0) {
                            output.Message("tavlink-cli: not connected.");
                            run.View().SayNoAnswerHint();
                            if (record.exitStatus == kExitOk) MarkFailed(record, "not connected");
                            return record;
                          }
                          record.software = VersionText(answer, kSoftwareVersionAt);
                          record.hardware = VersionText(answer, kHardwareVersionAt);
                          output.Result("Software version: " + record.software);
                          output.Result("Hardware version: " + record.hardware);
                          return record;
                        });
}

// Opens and checks a ROM image, reporting why not; the stream is left at
// the image's body.
FilePtr OpenRomImage(const std::string& path, uint64_t* length) {
  FilePtr file = OpenPlainFile(path, length);
  if (!file) return nullptr;
  int error = 0;
  switch (CheckRomImage(file.get(), *length, &error)) {
    case RomCheck::kUnreadable:
      std::fprintf(stderr, "tavlink-cli: cannot read %s: %s\n", path.c_str(),
                   DescribeFileError(error).c_str());
      return nullptr;
    case RomCheck::kWrongImage:
      PrintBox("", kWrongRomImage);
      return nullptr;
    case RomCheck::kTooLong:
      PrintBox("", kWrongRomImage);
      std::fprintf(stderr,
                   "tavlink-cli: %s is too long for a ROM image: %llu bytes, at most %llu.\n",
                   path.c_str(), static_cast<unsigned long long>(*length),
                   static_cast<unsigned long long>(kMaxRomImageSize));
      return nullptr;
    case RomCheck::kGood:
      return file;
  }
  return nullptr;
}

int RunUpgrade(const Command& command) {
  uint64_t length = 0;
  if (!OpenRomImage(command.options.file, &length)) return kExitUsage;
  const std::string image =
      command.options.file + " (" + Grouped(length - kRomHeaderSize) + " bytes)";
  return RunOnReceivers(
      command.options, command.lines, "upgrade",
      [&image](size_t, const DeviceOptions& options, RunOutput& output) {
        ReceiverRecord record;
        RecordFile(record, options.file);
        // Each receiver reads the image through a stream of its own.
        uint64_t size = 0;
        FilePtr file = OpenRomImage(options.file, &size);
        if (!file) {
          MarkFailed(record, "the ROM image cannot be read", kExitUsage);
          return record;
        }
        SaySending(output, "the ROM image " + image, options);
        StdioTransferFile body(file.get());  // positioned just after the header
        DeviceRun run(options, output);
        SetOutcome(record, run, run.Run(OP_UPGRADE, &body));
        if (record.exitStatus == kExitOk)
          output.Result("Upgraded from " + image + " in " + SecondsText(run.Seconds()));
        else
          run.View().SayNoAnswerHint();
        return record;
      });
}

// Where each receiver's user data goes: FILE itself for one receiver;
// for several, FILE with {port}, {device} and {n} filled in, or a file per
// receiver in the folder FILE. Nothing, after saying why, for several
// receivers and one plain name.
std::optional<std::vector<std::string>> OutputNames(const std::string& file,
                                                    const std::vector<LineChoice>& lines) {
  std::error_code ignored;
  const bool folder = std::filesystem::is_directory(file, ignored);
  const bool pattern = file.find("{port}") != std::string::npos ||
                       file.find("{device}") != std::string::npos ||
                       file.find("{n}") != std::string::npos;
  if (lines.size() > 1 && !folder && !pattern) {
    std::fprintf(stderr,
                 "tavlink-cli: %zu receivers need a file each: give a folder, or a name with "
                 "{port}, {device} or {n} in it.\n",
                 lines.size());
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!folder && !pattern) {
      names.push_back(file);
      continue;
    }
    // A device path as part of a file name: "/dev/ttyUSB0" as "ttyUSB0".
    std::string device = lines[i].path;
    if (device.rfind("/dev/", 0) == 0) device.erase(0, 5);
    for (char& c : device)
      if (c == '/' || c == '\\' || c == ':') c = '_';
    const std::string port = lines[i].byPort ? lines[i].label : device;
    if (folder) {
      names.push_back((std::filesystem::path(file) / (port + ".txt")).string());
      continue;
    }
    // One pass over the pattern: what is filled in is never looked at again,
    // so a device whose path holds "{port}" or "{device}" is taken as it is.
    const std::pair<std::string, std::string> fills[] = {
        {"{port}", port}, {"{device}", device}, {"{n}", std::to_string(i + 1)}};
    std::string name;
    for (size_t at = 0; at < file.size();) {
      const auto fill = std::find_if(std::begin(fills), std::end(fills), [&](const auto& entry) {
        return file.compare(at, entry.first.size(), entry.first) == 0;
      });
      if (fill == std::end(fills)) {
        name += file[at++];
      } else {
        name += fill->second;
        at += fill->first.size();
      }
    }
    names.push_back(name);
  }
  for (size_t i = 0; i < names.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (names[i] == names[j]) {
        std::fprintf(stderr, "tavlink-cli: %s and %s would both save to %s.\n",
                     lines[j].label.c_str(), lines[i].label.c_str(), names[i].c_str());
        return std::nullopt;
      }
  return names;
}

int RunReadUserData(const Command& command) {
  if (command.options.repeat) {
    std::fprintf(stderr,
                 "tavlink-cli: read-user-data saves one file per receiver; --repeat would "
                 "replace it. Repeat the command instead.\n");
    return kExitUsage;
  }
  const auto names = OutputNames(command.options.file, command.lines);
  if (!names) return kExitUsage;
  // Outputs that cannot be written are found before any receiver is asked.
  std::vector<std::unique_ptr<OutputFile>> outputs;
  for (const std::string& name : *names) {
    outputs.push_back(OutputFile::Prepare(name));
    if (!outputs.back()) return kExitUsage;
  }
  if (!AskYesNo(kTurnOffReceiver, command.options.yes)) {
    std::fprintf(stderr, "tavlink-cli: not confirmed; answer on a terminal or give --yes.\n");
    return kExitStopped;
  }
  return RunOnReceivers(
      command.options, command.lines, "read-user-data",
      [&](size_t index, const DeviceOptions& options, RunOutput& output) {
        ReceiverRecord record;
        // This run's own block; the file is written only from a whole, valid
        // image, so a failed read never destroys an existing file.
        auto block = std::make_unique<ReceiverDataBlock>();
        DeviceRun run(options, output);
        const TransferOutcome outcome = run.Run(OP_READ_USER_DATA, nullptr, block.get());
        SetOutcome(record, run, outcome);
        const std::optional<std::string> text =
            outcome == TransferOutcome::kSucceeded ? DataTextToSave(*block) : std::nullopt;
        if (!text) {
          output.Message("tavlink-cli: " + Fold(kFactoryDataNotValid));
          run.View().SayNoAnswerHint();
          if (record.exitStatus == kExitOk)
            MarkFailed(record, "factory data of the receiver is not valid");
          return record;
        }
        const std::string& name = (*names)[index];
        OutputFile& file = *outputs[index];
        std::fwrite(text->data(), 1, text->size(), file.stream());
        if (!file.Commit()) {
          MarkFailed(record, "cannot write " + name);
          return record;
        }
        record.dataFile = name;
        record.dataSha256 = Sha256Hex(*text);
        const BlockCounts counts = CountsOf(*block);
        output.Result("Saved " + Count(counts.satellites, "satellite", "satellites") + ", " +
                      Count(counts.transponders, "transponder", "transponders") + " and " +
                      Count(counts.services, "service", "services") + " to " + name);
        if (const std::string warning = ReadBackWarning(name, *text); !warning.empty())
          output.Message(warning);
        return record;
      });
}

int RunWriteFactoryData(const Command& command) {
  const DeviceOptions& options = command.options;
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
  const std::string what = "the factory data of " + options.file + " (" +
                           Count(counts.satellites, "satellite", "satellites") + ", " +
                           Count(counts.transponders, "transponder", "transponders") + ", " +
                           Count(counts.services, "service", "services") + ", " +
                           (antenna == -1 ? std::string("no antenna configuration")
                                          : "antenna configuration " + std::to_string(antenna)) +
                           ")";
  const std::string sha256 = Sha256OfFile(options.file).value_or("");
  return RunOnReceivers(options, command.lines, "write-factory-data",
                        [&](size_t, const DeviceOptions& own, RunOutput& output) {
                          ReceiverRecord record;
                          record.dataFile = own.file;
                          record.dataSha256 = sha256;
                          auto copy =
                              std::make_unique<ReceiverDataBlock>(*block);  // a block per session
                          SaySending(output, what, own);
                          DeviceRun run(own, output);
                          SetOutcome(record, run, run.Run(OP_WRITE_FACTORY, nullptr, copy.get()));
                          if (record.exitStatus != kExitOk) {
                            run.View().SayNoAnswerHint();
                            return record;
                          }
                          output.Result("Wrote factory data (" +
                                        std::to_string(ReceiverDataBlock::kSize / kFactoryPiece) +
                                        " blocks) in " + SecondsText(run.Seconds()));
                          return record;
                        });
}

int RunBackup(const Command& command) {
  // The worker writes into the output as the data arrives; the backup
  // reaches its file only when it is complete.
  const auto output = OutputFile::Prepare(command.options.file);
  if (!output) return kExitUsage;
  return RunOnReceivers(command.options, command.lines, "backup",
                        [&output](size_t, const DeviceOptions& options, RunOutput& out) {
                          ReceiverRecord record;
                          StdioTransferFile file(output->stream());
                          DeviceRun run(options, out);
                          SetOutcome(record, run, run.Run(OP_BACKUP, &file));
                          if (record.exitStatus != kExitOk) return record;
                          const long written = std::ftell(output->stream());
                          if (!output->Commit()) {
                            MarkFailed(record, "cannot write " + options.file);
                            return record;
                          }
                          RecordFile(record, options.file);
                          out.Result("Backed up the user data to " + options.file + " (" +
                                     Grouped(static_cast<uint64_t>(std::max(written, 0L))) +
                                     " bytes) in " + SecondsText(run.Seconds()));
                          return record;
                        });
}

int RunRestore(const Command& command) {
  uint64_t length = 0;
  FilePtr file = OpenPlainFile(command.options.file, &length);
  if (!file) return kExitUsage;
  const std::string backup = command.options.file + " (" + Grouped(length) + " bytes)";
  return RunOnReceivers(command.options, command.lines, "restore",
                        [&](size_t, const DeviceOptions& options, RunOutput& output) {
                          ReceiverRecord record;
                          RecordFile(record, options.file);
                          SaySending(output, "the user data of " + backup, options);
                          StdioTransferFile data(file.get());
                          DeviceRun run(options, output);
                          SetOutcome(record, run, run.Run(OP_RESTORE, &data));
                          if (record.exitStatus == kExitOk)
                            output.Result("Restored the user data from " + backup + " in " +
                                          SecondsText(run.Seconds()));
                          return record;
                        });
}

int RunPorts(bool json) {
  const PortsListing listing = GatherPorts(ListSerialDevices(), *MakeSettingStore());
  const std::string text = json ? PortsJson(listing) : PortsText(listing);
  std::fwrite(text.data(), 1, text.size(), stdout);
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

void RegisterDeviceCommands(CLI::App& app, int* exitStatus) {
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
       "Read the receiver's user data and save it as a data text file (several receivers: a "
       "folder, or a name with {port}, {device} or {n})",
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
    sub->callback([options, exitStatus, entry] {
      const auto lines = ChooseLines(*options);
      if (!lines) {
        *exitStatus = kExitUsage;
        return;
      }
      if ((lines->size() > 1 || options->repeat) && !entry.many) {
        std::fprintf(stderr, "tavlink-cli: %s serves one receiver at a time.\n", entry.name);
        *exitStatus = kExitUsage;
        return;
      }
      *exitStatus = entry.run(Command{*options, *lines});
    });
  }
  CLI::App* ports = app.add_subcommand(
      "ports", "List the serial devices, what COM1 and COM2 open and which port is stored");
  auto json = std::make_shared<bool>(false);
  ports->add_flag("--json", *json, "print the list as JSON, for scripts");
  ports->callback([exitStatus, json] { *exitStatus = RunPorts(*json); });
}

}  // namespace tavlink::cli
