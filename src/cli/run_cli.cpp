#include "cli/commands.h"
#include "cli/interrupts.h"
#include "version/version.h"

namespace tavlink::cli {

int RunCli(int argc, char** argv) {
  CLI::App app{"ZOR Link: service tool for ZOR digital satellite receivers", "tavlink-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", VersionText("tavlink-cli"), "print the version and exit");
  app.footer(
      "Exit status: 0 success; 1 failure, a data text with an error included (only check exits "
      "with the reader's result 1-9); 2 bad usage or an unusable file; 130 stopped with Ctrl-C, "
      "SIGTERM or SIGHUP (the Cancel button; an upgrade asks first).");
  InstallInterruptHandler();
  int exitStatus = kExitOk;
  RegisterOfflineCommands(app, &exitStatus);
  RegisterDeviceCommands(app, &exitStatus);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitUsage;
  }
  return exitStatus;
}

}  // namespace tavlink::cli
