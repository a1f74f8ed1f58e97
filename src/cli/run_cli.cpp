#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/platform_help.h"
#include "cli/terminal.h"
#include "settings/setting_store.h"
#include "version/version.h"

namespace tavlink::cli {
namespace {

std::string HelpFooter() {
  return "Exit status: 0 success; 1 failure, a data text with an error included (only check "
         "exits with the reader's result 1-9); 2 bad usage or an unusable file; 3 stopped by "
         "--timeout; 130 stopped with Ctrl-C, SIGTERM or SIGHUP (the Cancel button; an upgrade "
         "asks first).\n"
         "Results go to standard output; progress, questions and messages to standard error.\n"
         "\n"
         "Serial ports: COM<n> (--port N) opens the device named by the environment variable "
         "TAVLINK_COM<n>, else the one stored for it in the settings, else the system's own (" +
         OwnDeviceOfPort() +
         "); --device PATH opens PATH. Without either, the stored port is used. Settings (shared "
         "with the desktop tool): " +
         SettingStoreLocation() + " (" + SettingsLocationNote() + ").\n";
}

// The first argument that is no option nor an option's value: the command,
// or nothing.
std::optional<std::string> CommandWord(CLI::App& app, int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") return i + 1 < argc ? std::optional<std::string>(argv[i + 1]) : std::nullopt;
    if (word.empty() || word[0] != '-') return word;
    if (word.find('=') != std::string::npos) continue;
    const CLI::Option* option = app.get_option_no_throw(word);
    if (option != nullptr && option->get_items_expected_max() > 0) ++i;  // its value
  }
  return std::nullopt;
}

bool IsCommand(CLI::App& app, const std::string& word) {
  for (const CLI::App* sub : app.get_subcommands({})) {
    if (sub->get_name() == word) return true;
  }
  return false;
}

void ReportUnknownCommand(Terminal& terminal, CLI::App& app, const std::string& word) {
  std::string commands;
  for (const CLI::App* sub : app.get_subcommands({}))
    commands += (commands.empty() ? "" : ", ") + sub->get_name();
  terminal.Err("tavlink-cli: unknown command '" + word + "'\nCommands: " + commands +
               "\nRun with --help for more.\n");
}

}  // namespace

int RunCli(Env& env, int argc, char** argv) {
  CLI::App app{"ZOR Link: service tool for ZOR digital satellite receivers", "tavlink-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", ProgramVersionLine("tavlink-cli"),
                       "print the version and exit");
  app.footer(HelpFooter());
  int exitStatus = kExitOk;
  RegisterOfflineCommands(app, env, &exitStatus);
  RegisterListCommands(app, env, &exitStatus);
  RegisterDeviceCommands(app, env, &exitStatus);
  if (const auto word = CommandWord(app, argc, argv); word && !IsCommand(app, *word)) {
    ReportUnknownCommand(env.terminal, app, *word);
    return kExitUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // The help, the version or what was wrong with the command line.
    std::ostringstream out, err;
    const int code = app.exit(e, out, err);
    env.terminal.Out(out.str());
    env.terminal.Err(err.str());
    return code == 0 ? kExitOk : kExitUsage;
  }
  return exitStatus;
}

int RunCli(int argc, char** argv) {
  InstallInterruptHandler();
  return RunCli(SystemEnv(), argc, argv);
}

}  // namespace tavlink::cli
