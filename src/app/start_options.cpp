#include "app/start_options.h"

#include <string_view>

namespace tavlink::app {

StartAction ChooseStartAction(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    if (argument == "-h" || argument == "--help") return StartAction::kPrintHelp;
    if (argument == "--version") return StartAction::kPrintVersion;
  }
  return StartAction::kRun;
}

std::string HelpText(const std::string& settingsLocation) {
  // The option lines keep the layout of the command-line programs' help, so
  // one reader (the man page test, the shell completion) serves all three.
  return "ZOR Link: the desktop service tool for ZOR digital satellite receivers\n"
         "Usage: tavlink [OPTIONS]\n"
         "\n"
         "Options:\n"
         "  -h,--help                   Print this help message and exit\n"
         "  --version                   print the version and exit\n"
         "\n"
         "Qt's own options (-platform, -style, ...) are accepted too.\n"
         "Port COM<n> opens /dev/ttyS<n-1>, unless the environment variable TAVLINK_COM<n> or\n"
         "the setting Devices/COM<n> names another device (the environment wins).\n"
         "Settings: " +
         settingsLocation + "\n";
}

}  // namespace tavlink::app
