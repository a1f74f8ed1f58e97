#include "cli/commands.h"

namespace tavlink::cli {

void RegisterDeviceCommands(CLI::App&, int*) {}

}  // namespace tavlink::cli
