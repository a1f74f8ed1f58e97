#pragma once
// The desktop tool's own command-line options, looked at before the window
// system is reached so that they work without a display. Every other
// argument is left to Qt (-platform, -style, ...).

#include <string>

namespace tavlink::app {

enum class StartAction {
  kRun,           // open the main window
  kPrintHelp,     // -h or --help: print HelpText() and exit 0
  kPrintVersion,  // --version: print the version line and exit 0
};

// The first of -h, --help and --version on the command line decides;
// arguments after "--" are not options.
StartAction ChooseStartAction(int argc, const char* const* argv);

// The text --help prints: usage, options, the serial port mapping and where
// the settings live (`settingsLocation`).
std::string HelpText(const std::string& settingsLocation);

}  // namespace tavlink::app
