#pragma once
// The commands of tavlink-cli. Each group registers its subcommands on the
// application; a command's callback leaves its exit status in *exitStatus:
// 0 success, 1 failure (a data text the reader refuses included; only check
// exits with the reader's result 1..9), 2 bad usage or an unusable file,
// 3 stopped by --timeout, 130 stopped by the user (Ctrl-C, SIGTERM or
// SIGHUP).

#include <CLI/CLI.hpp>

#include "cli/env.h"

namespace tavlink::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitTimedOut = 3;
inline constexpr int kExitStopped = 130;

// check, text-to-block, block-to-text: data files without a receiver. The
// commands run with `env`, which must outlive `app`.
void RegisterOfflineCommands(CLI::App& app, Env& env, int* exitStatus);

// diff: channel lists compared, without a receiver.
void RegisterListCommands(CLI::App& app, Env& env, int* exitStatus);

// connect, upgrade, read-user-data, write-factory-data, backup, restore, ports.
void RegisterDeviceCommands(CLI::App& app, Env& env, int* exitStatus);

// Runs the command line `argv` with `env`; returns the exit status.
int RunCli(Env& env, int argc, char** argv);

// The program: RunCli with the system's Env and the interrupt handler.
int RunCli(int argc, char** argv);

}  // namespace tavlink::cli
