#include "app/editor_launch.h"

#include <filesystem>

namespace tavlink::app {

std::string ChannelEditorPath(const std::string& programFolder) {
  return (std::filesystem::path(programFolder) / ChannelEditorFileName()).string();
}

std::string ChannelEditorNotStartedText(const std::string& path) {
  return "\n  The channel editor cannot be started:  \n\n  " + path + "  ";
}

}  // namespace tavlink::app
