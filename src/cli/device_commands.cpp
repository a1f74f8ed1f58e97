// The device commands of tavlink-cli: each runs one transfer session, the
// same session logic as the desktop window, with the console as its window.

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/console.h"
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

// The line a device command uses: --device PATH, or port N (--port N or
// the stored port) and where it leads.
struct LineChoice {
  int portNumber = 1;
  std::string path;
  std::string hint;  // added under "no such device"
};

struct DeviceOptions {
  int port = 0;        // --port N; 0 when not given
  std::string device;  // --device PATH
  bool yes = false;    // --yes
  bool trace = false;  // --trace
  std::string file;    // the command's file argument
  LineChoice line;     // worked out before the command runs
};

// Works out the line from the options and the stored settings; nothing
// (after saying why) when no port is given and none is stored.
std::optional<LineChoice> ChooseLine(const DeviceOptions& options) {
  if (!options.device.empty()) return LineChoice{1, options.device, ""};
  const int port = options.port > 0 ? options.port : MakeSettingStore()->ReadPort().value_or(0);
  if (port <= 0) {
    std::fprintf(stderr,
                 "tavlink-cli: no port chosen: give --port N (COM<N>) or --device PATH, or "
                 "choose a port in the desktop tool's Setup Comm.\n");
    return std::nullopt;
  }
  const ComDevice device = ResolveComDevice(port, MakeSettingStore()->ReadDevice(port));
  return LineChoice{port, device.path,
                    ComPortName(port) + " opens " + device.path + " (" +
                        DescribeSource(port, device.source) +
                        "): name another with --device PATH, "
                        "--port N or " +
                        ComEnvironmentName(port) + "."};
}

// One session on the chosen line, run to its end on this thread.
class Session {
 public:
  explicit Session(const DeviceOptions& options)
      : errors_(reporter_, options.line.hint),
        view_(ConsoleOptions{options.yes, StdoutIsTerminal() && !options.trace}),
        environment_{SystemClock(), errors_,
                     [path = options.line.path] { return MakeSerialDeviceAt(path); },
                     options.trace ? &trace_ : nullptr},
        portNumber_(options.line.portNumber) {}

  TransferOutcome Run(int operation, TransferFile* file = nullptr,
                      ReceiverDataBlock* block = nullptr, std::span<uint8_t> answer = {}) {
    const TransferInterrupts interruptsCancel;  // outlives the session, which closes the port
    return RunTransfer(view_, environment_, {portNumber_, operation, answer, file, block});
  }

 private:
  ConsoleReporter reporter_;
  DeviceHintReporter errors_;
  ConsoleTrace trace_;
  ConsoleView view_;
  TransferEnvironment environment_;
  int portNumber_ = 1;
};

int ExitStatusOf(TransferOutcome outcome) {
  switch (outcome) {
    case TransferOutcome::kSucceeded:
      return kExitOk;
    case TransferOutcome::kStopped:
      return kExitStopped;
    default:
      return kExitFailure;
  }
}

int RunConnect(const DeviceOptions& options) {
  uint8_t answer[kAnswerSize] = {};
  Session session(options);
  const TransferOutcome outcome = session.Run(OP_CONNECT, nullptr, nullptr, answer);
  if (answer[0] == 0) {
    std::fprintf(stderr, "tavlink-cli: not connected.\n");
    return outcome == TransferOutcome::kStopped ? kExitStopped : kExitFailure;
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
  StdioTransferFile image(file.get());  // positioned just after the header
  return ExitStatusOf(Session(options).Run(OP_UPGRADE, &image));
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
  const TransferOutcome outcome = Session(options).Run(OP_READ_USER_DATA, nullptr, block.get());
  const std::optional<std::string> text =
      outcome == TransferOutcome::kSucceeded ? DataTextToSave(*block) : std::nullopt;
  if (!text) {
    PrintBox("", kFactoryDataNotValid);
    return outcome == TransferOutcome::kStopped ? kExitStopped : kExitFailure;
  }
  std::fwrite(text->data(), 1, text->size(), output->stream());
  if (!output->Commit()) return kExitFailure;
  WarnIfTextDoesNotReadBack(options.file, *text);
  return kExitOk;
}

int RunWriteFactoryData(const DeviceOptions& options) {
  auto block = std::make_unique<ReceiverDataBlock>();
  const int status = ReadDataTextFile(options.file, *block);
  if (status != kExitOk) return status;  // nothing is sent
  return ExitStatusOf(Session(options).Run(OP_WRITE_FACTORY, nullptr, block.get()));
}

int RunBackup(const DeviceOptions& options) {
  // The worker writes into the output as the data arrives; the backup
  // reaches its file only when it is complete.
  const auto output = OutputFile::Prepare(options.file);
  if (!output) return kExitUsage;
  StdioTransferFile file(output->stream());
  const int status = ExitStatusOf(Session(options).Run(OP_BACKUP, &file));
  if (status != kExitOk) return status;
  return output->Commit() ? kExitOk : kExitFailure;
}

int RunRestore(const DeviceOptions& options) {
  uint64_t length = 0;
  FilePtr file = OpenPlainFile(options.file, &length);
  if (!file) return kExitUsage;
  StdioTransferFile data(file.get());
  return ExitStatusOf(Session(options).Run(OP_RESTORE, &data));
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
