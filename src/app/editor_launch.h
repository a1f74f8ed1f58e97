#pragma once
// The desktop tool's entry that starts the channel editor, which lies
// beside the running program: its menu text, where it is, and what is said
// when it cannot be started. Both desktop tools use it.

#include <string>

namespace tavlink::app {

// The entry under About in the menu that holds it.
inline constexpr const char* kChannelEditorMenuText = "Channel &Editor...";

// The editor's file name on this platform: "tavlink-editor" (".exe" on Windows).
const char* ChannelEditorFileName();

// The editor beside the running program, whose folder is `programFolder`.
std::string ChannelEditorPath(const std::string& programFolder);

// "The channel editor cannot be started: PATH".
std::string ChannelEditorNotStartedText(const std::string& path);

}  // namespace tavlink::app
