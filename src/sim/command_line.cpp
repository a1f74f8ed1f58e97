#include "sim/command_line.h"

#include <CLI/CLI.hpp>

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

}  // namespace

int ParseCommandLine(int argc, const char* const* argv, SimOptions* options) {
  CLI::App app(
      "Simulates a ZOR satellite receiver on a pseudo-terminal. Prints the device path to "
      "open as the first line on standard output and serves requests until SIGINT/SIGTERM.",
      "tavlink-sim");
  app.set_version_flag("--version", VersionText("tavlink-sim"), "print the version and exit");
  bool silent = false;
  long dropAfter = -1;
  app.add_option("--software", options->software, "software version text")
      ->check(MaxLength(32))
      ->capture_default_str();
  app.add_option("--hardware", options->hardware, "hardware version text")
      ->check(MaxLength(32))
      ->capture_default_str();
  app.add_option("--user-data", options->userDataPath,
                 "user data: a data text file or a 65536-byte block image "
                 "(default: the sample factory data)");
  app.add_option("--link", options->linkPath,
                 "make a symbolic link PATH to the device (replaced if it exists, removed at "
                 "exit)");
  app.add_option("--rom-out", options->romOutPath, "write a received upgrade image to FILE");
  app.add_option("--payload-size", options->payloadSize, "user data bytes per frame")
      ->check(CLI::Range(size_t{1}, size_t{4096}))
      ->capture_default_str();
  app.add_option("--ready-delay", options->readyDelaySeconds,
                 "seconds from FC_ACK to FC_READY for upgrade and factory data; 0 answers "
                 "FC_READY alone")
      ->check(CLI::Range(0.0, 3600.0))
      ->capture_default_str();
  app.add_option("--corrupt-frame", options->faults.corruptFrame,
                 "send our data frame K (counted from 1 since start) with a bad CRC, once")
      ->check(CLI::PositiveNumber);
  app.add_option("--nak-frame", options->faults.nakFrame,
                 "answer the PC's data frame K (counted from 1 since start) with FC_NAK, once")
      ->check(CLI::PositiveNumber);
  app.add_option("--drop-after", dropAfter,
                 "answer nothing after K frames from the PC (read and discard)")
      ->check(CLI::NonNegativeNumber);
  app.add_flag("--silent", silent, "a receiver switched off: read and discard everything");
  app.add_flag("--pace", options->faults.pace, "write at the line rate the PC set");
  app.add_flag("--log", options->log, "trace every frame on standard error");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  if (dropAfter >= 0) options->faults.dropAfter = dropAfter;
  if (silent) options->faults.dropAfter = 0;
  return -1;
}

}  // namespace tavlink::sim
