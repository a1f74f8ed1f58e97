#include "sim/command_line.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <limits>
#include <set>

#include "data/receiver_data_block.h"
#include "version/version.h"

namespace tavlink::sim {
namespace {

CLI::Validator MaxLength(size_t limit) {
  return CLI::Validator(
      [limit](std::string& text) {
        return text.size() <= limit ? std::string()
                                    : "at most " + std::to_string(limit) + " characters";
      },
      "TEXT<=" + std::to_string(limit));
}

// A fault option's values as given: "K" for every receiver, "N:K" for
// receiver N alone.
struct FaultOption {
  const char* name;
  long least;                      // the smallest K allowed
  void (*set)(LineFaults&, long);  // puts K into one receiver's faults
  std::vector<std::string> given;
  long most = std::numeric_limits<long>::max();  // the largest K allowed
};

// One parsed value; receiver 0 means every receiver.
struct Targeted {
  int receiver = 0;
  long value = 0;
  void (*set)(LineFaults&, long) = nullptr;
};

// Whole `text` as a decimal number, or false.
bool ToNumber(std::string_view text, long* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// Throws a usage error unless `receiver` is one of 1..count.
void CheckReceiver(const char* name, long receiver, int count) {
  if (receiver < 1 || receiver > count) {
    throw CLI::ValidationError(name, "no receiver " + std::to_string(receiver) + " (--count " +
                                         std::to_string(count) + ")");
  }
}

// Parses "K" or "N:K" of `option`; throws a usage error naming the option.
Targeted ParseTargeted(const FaultOption& option, const std::string& text, int count) {
  const size_t colon = text.find(':');
  const std::string_view all(text);
  const std::string_view valueText = colon == text.npos ? all : all.substr(colon + 1);
  Targeted targeted;
  long receiver = 0;
  if (colon != text.npos) {
    if (!ToNumber(all.substr(0, colon), &receiver)) {
      throw CLI::ValidationError(option.name,
                                 "\"" + text + "\": N before ':' must be a receiver's number");
    }
    CheckReceiver(option.name, receiver, count);
  }
  if (!ToNumber(valueText, &targeted.value) || targeted.value < option.least ||
      targeted.value > option.most) {
    std::string range = "from " + std::to_string(option.least);
    if (option.most != std::numeric_limits<long>::max())
      range += " to " + std::to_string(option.most);
    throw CLI::ValidationError(option.name,
                               "\"" + text + "\": K must be a whole number " + range);
  }
  targeted.receiver = static_cast<int>(receiver);
  targeted.set = option.set;
  return targeted;
}

// Puts the value of `option` for every receiver into options->faults and
// adds those for one receiver to `forReceivers`, to be applied once every
// option's value for every receiver is in (they start from those).
void ApplyFault(const FaultOption& option, SimOptions* options,
                std::vector<Targeted>* forReceivers) {
  std::set<int> seen;
  for (const std::string& text : option.given) {
    const Targeted targeted = ParseTargeted(option, text, options->count);
    if (!seen.insert(targeted.receiver).second) {
      throw CLI::ValidationError(
          option.name, targeted.receiver == 0
                           ? std::string("given twice for every receiver")
                           : "given twice for receiver " + std::to_string(targeted.receiver));
    }
    if (targeted.receiver == 0) {
      option.set(options->faults, targeted.value);
    } else {
      forReceivers->push_back(targeted);
    }
  }
}

// A path option with N > 1 receivers must tell their files apart.
void RequireNumberPlaceholder(const char* name, const std::string& path, int count) {
  if (count > 1 && !path.empty() && path.find(kNumberPlaceholder) == path.npos) {
    throw CLI::ValidationError(name, "with --count " + std::to_string(count) + " the path needs " +
                                         kNumberPlaceholder + ", the receiver's number");
  }
}

}  // namespace

int ParseCommandLine(int argc, const char* const* argv, SimOptions* options) {
  CLI::App app(
      "Simulates ZOR satellite receivers, each on a pseudo-terminal of its own. Prints the "
      "device path to open of each receiver on a line of its own on standard output (receiver "
      "1 first, all before serving) and serves requests until SIGINT/SIGTERM.",
      "tavlink-sim");
  app.set_version_flag("--version", ProgramVersionLine("tavlink-sim"), "print the version and exit");
  app.footer(
      "Each receiver has its own user data, faults and log lines (\"#N \" before each text when "
      "--count is above 1). A fault value K applies to every receiver; N:K applies to receiver "
      "N alone, in place of the value for every receiver. Example, receiver 2 switched off and "
      "receiver 3 corrupting its fifth data frame:\n"
      "  tavlink-sim --count 4 --silent-on 2 --corrupt-frame 3:5");
  bool silent = false;
  std::vector<int> silentOn;
  FaultOption corrupt{"--corrupt-frame", 1, [](LineFaults& f, long k) { f.corruptFrame = k; }, {}};
  FaultOption nak{"--nak-frame", 1, [](LineFaults& f, long k) { f.nakFrame = k; }, {}};
  FaultOption drop{"--drop-after", 0, [](LineFaults& f, long k) { f.dropAfter = k; }, {}};
  FaultOption alter{"--alter-stored", 0, [](LineFaults& f, long k) { f.alterStored = k; }, {},
                    static_cast<long>(ReceiverDataBlock::kSize) - 1};
  app.add_option("--count", options->count, "receivers to serve, each on its own pseudo-terminal")
      ->check(CLI::Range(1, kMaxReceivers))
      ->capture_default_str();
  app.add_option("--software", options->software, "software version text")
      ->check(MaxLength(32))
      ->capture_default_str();
  app.add_option("--hardware", options->hardware, "hardware version text")
      ->check(MaxLength(32))
      ->capture_default_str();
  app.add_option("--user-data", options->userDataPath,
                 "user data of every receiver at start: a data text file or a 65536-byte block "
                 "image (default: the sample factory data)");
  app.add_option("--link", options->linkPath,
                 "make a symbolic link PATH to the device (replaced if it exists, removed at "
                 "exit); {n} in PATH is the receiver's number, needed with --count above 1");
  app.add_option("--rom-out", options->romOutPath,
                 "write a received upgrade image to FILE; {n} in FILE is the receiver's number, "
                 "needed with --count above 1");
  app.add_option("--payload-size", options->payloadSize, "user data bytes per frame")
      ->check(CLI::Range(size_t{1}, size_t{4096}))
      ->capture_default_str();
  app.add_option("--ready-delay", options->readyDelaySeconds,
                 "seconds from FC_ACK to FC_READY for upgrade and factory data; 0 answers "
                 "FC_READY alone")
      ->check(CLI::Range(0.0, 3600.0))
      ->capture_default_str();
  app.add_option(corrupt.name, corrupt.given,
                 "send our data frame K (counted from 1 since start) with a bad CRC, once")
      ->type_name("[N:]K")
      ->allow_extra_args(false);
  app.add_option(nak.name, nak.given,
                 "answer the PC's data frame K (counted from 1 since start) with FC_NAK, once")
      ->type_name("[N:]K")
      ->allow_extra_args(false);
  app.add_option(drop.name, drop.given,
                 "answer nothing after K frames from the PC (read and discard)")
      ->type_name("[N:]K")
      ->allow_extra_args(false);
  app.add_option(alter.name, alter.given,
                 "store factory data with the byte at OFFSET (0 to 65535) inverted, as a "
                 "receiver that does not keep what it is sent")
      ->type_name("[N:]OFFSET")
      ->allow_extra_args(false);
  app.add_flag("--silent", silent, "receivers switched off: read and discard everything");
  app.add_option("--silent-on", silentOn, "receiver N alone switched off (a list: 2,5)")
      ->type_name("N")
      ->delimiter(',')
      ->allow_extra_args(false);
  app.add_flag("--pace", options->faults.pace, "write at the line rate the PC set");
  app.add_flag("--log", options->log, "trace every frame on standard error");
  try {
    app.parse(argc, argv);
    std::vector<Targeted> forReceivers;
    for (const FaultOption* option : {&corrupt, &nak, &drop, &alter}) {
      ApplyFault(*option, options, &forReceivers);
    }
    if (silent) options->faults.dropAfter = 0;
    // Faults for one receiver start from those for every receiver.
    auto ownFaults = [options](int receiver) -> LineFaults& {
      return options->faultsOf.try_emplace(receiver, options->faults).first->second;
    };
    for (const Targeted& targeted : forReceivers) {
      targeted.set(ownFaults(targeted.receiver), targeted.value);
    }
    for (const int receiver : silentOn) {
      CheckReceiver("--silent-on", receiver, options->count);
      ownFaults(receiver).dropAfter = 0;
    }
    RequireNumberPlaceholder("--link", options->linkPath, options->count);
    RequireNumberPlaceholder("--rom-out", options->romOutPath, options->count);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  return -1;
}

}  // namespace tavlink::sim
