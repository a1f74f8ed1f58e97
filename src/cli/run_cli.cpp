#include "cli/commands.h"

namespace tavlink::cli {

int RunCli(int argc, char** argv) {
  CLI::App app{"ZOR Link: service tool for ZOR digital satellite receivers", "tavlink-cli"};
  app.require_subcommand(1);
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
