#pragma once
// The commands of tavlink-cli. Each group registers its subcommands on the
// application; a command's callback leaves its exit status in *exitStatus:
// 0 success, 1 failure (a data text the reader refuses included; only check
// exits with the reader's result 1..9), 2 bad usage or an unusable file,
// 3 stopped by --timeout, 130 stopped by the user (Ctrl-C, SIGTERM or
// SIGHUP).

#include <CLI/CLI.hpp>

namespace tavlink::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitTimedOut = 3;
inline constexpr int kExitStopped = 130;

// check, text-to-block, block-to-text: data files without a receiver.
void RegisterOfflineCommands(CLI::App& app, int* exitStatus);

// connect, upgrade, read-user-data, write-factory-data, backup, restore, ports.
void RegisterDeviceCommands(CLI::App& app, int* exitStatus);

// Runs the command line; returns the process exit status.
int RunCli(int argc, char** argv);

}  // namespace tavlink::cli
