#pragma once
// The progress meter of tavlink-cli on a terminal: one line, redrawn in place:
//
//   Uploading...   block 3/32   error 0  [###.........]   9%  0:05  0:52 left
//
// It never fills the terminal's last column (a full line wraps on some
// terminals): when the width runs short the bar goes first, then the time
// left, then the elapsed time, and the status is cut last.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tavlink::cli {

// "0:05", "12:34", "1:02:03".
std::string FormatDuration(std::chrono::seconds duration);

// What is left of a run that has done `position` of `upper` steps in
// `elapsed`, at the same pace; nothing before the first step.
std::optional<std::chrono::seconds> TimeLeft(int position, int upper, std::chrono::seconds elapsed);

// The meter for `status` at `position` of `upper` (no percentage or bar when
// `upper` is not above 0), at most `width` - 1 characters.
std::string FormatProgressMeter(std::string_view status, int position, int upper,
                                std::chrono::seconds elapsed,
                                std::optional<std::chrono::seconds> left, int width);

}  // namespace tavlink::cli
