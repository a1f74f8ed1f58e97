#pragma once
// The channel editor's own command line, looked at before the window
// system is reached so that --help and --version work without a display
// (the choice itself is the desktop tool's, app/start_options.h).

#include <string>
#include <vector>

namespace tavlink::editor {

// The text --help prints: usage, options, the file it opens, the keys, and
// where the settings live.
std::string EditorHelpText(const std::string& settingsLocation);

// The files named on the command line: every argument that is no option
// (one that starts with "-"), and every one after "--". Qt's own options
// (-platform offscreen) have been taken out by Qt before this is asked.
std::vector<std::string> FilesToOpen(int argc, const char* const* argv);

}  // namespace tavlink::editor
