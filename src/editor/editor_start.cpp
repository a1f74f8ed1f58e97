#include "editor/editor_start.h"

#include <string_view>

namespace tavlink::editor {

std::string EditorHelpText(const std::string& settingsLocation) {
  // The option lines keep the layout of the other programs' help, so that
  // the man page test and the shell completion read all of them alike.
  return "ZOR Link Channel Editor: edits the channel list of ZOR digital satellite receivers\n"
         "Usage: tavlink-editor [OPTIONS] [FILE]\n"
         "\n"
         "Positionals:\n"
         "  FILE                        a data text (*.txt) or a 65,536-byte block image to open\n"
         "\n"
         "Options:\n"
         "  -h,--help                   Print this help message and exit\n"
         "  --version                   print the version and exit\n"
         "\n"
         "Keys: Ctrl+Up/Down move, Ctrl+Home/End to the top or bottom, Del delete, F2 rename,\n"
         "Space favourite, Ctrl+F filter, Ctrl+Z/Ctrl+Y undo and redo, Tab the next pane.\n"
         "Qt's own options (-platform, -style, ...) are accepted too.\n"
         "Port COM<n> opens /dev/ttyS<n-1>, unless the environment variable TAVLINK_COM<n> or\n"
         "the setting Devices/COM<n> names another device (the environment wins).\n"
         "Settings (shared with tavlink): " +
         settingsLocation + "\n";
}

std::vector<std::string> FilesToOpen(int argc, const char* const* argv) {
  std::vector<std::string> files;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (options && argument == "--") {
      options = false;
    } else if (!options || !argument.starts_with("-")) {
      files.emplace_back(argument);
    }
  }
  return files;
}

}  // namespace tavlink::editor
