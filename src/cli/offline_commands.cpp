#include "cli/commands.h"

namespace tavlink::cli {

void RegisterOfflineCommands(CLI::App&, int*) {}

}  // namespace tavlink::cli
