#include "cli/commands.h"

int main(int argc, char** argv) {
  return tavlink::cli::RunCli(argc, argv);
}
