#pragma once
// The programs the package installs, as built, and their --help listings.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "packaging/help_listing.h"
#include "support/paths.h"
#include "support/program_run.h"

namespace tavlink::testing {

// The desktop tool needs no display for --help and --version: run it
// without one.
inline const EnvironmentChanges kNoDisplay = {{"DISPLAY", std::nullopt},
                                              {"WAYLAND_DISPLAY", std::nullopt},
                                              {"QT_QPA_PLATFORM", std::nullopt}};

inline std::filesystem::path ProgramPath(const std::string& name) {
  return BinDir() / name;
}

// `NAME [COMMAND] --help`, read; nothing when the program is not built or
// its help fails (a test failure is recorded for the latter).
inline std::optional<HelpListing> HelpOf(const std::string& name, const std::string& command = "") {
  std::vector<std::string> argv{ProgramPath(name).string()};
  if (!command.empty()) argv.push_back(command);
  argv.push_back("--help");
  const ProgramResult run = RunProgram(argv, kNoDisplay);
  if (run.status != 0) {
    ADD_FAILURE() << name << " " << command << " --help exited with " << run.status << ": "
                  << run.err;
    return std::nullopt;
  }
  return ReadHelpListing(run.out);
}

}  // namespace tavlink::testing
