#pragma once
// Texts of the About entry and the About box that every front end shows
// the same: the system menu's entry (string 101) and the one line behind
// the About box's hidden strip 1020.

namespace tavlink::app {

// The system menu entry's text.
inline constexpr const char* kAboutMenuText = "&About TAVLINK...";

// The one line behind the hidden strip.
inline constexpr const char* kHiddenStripMessage = "Made for the ZOR service technicians.";

}  // namespace tavlink::app
