#pragma once
// Time stamps as a station's record keeps them: "2026-12-08T16:00:37Z",
// the UTC time to the second. Safe on any thread (no gmtime).

#include <chrono>
#include <string>

namespace tavlink::cli {

// `at` in UTC by the proleptic Gregorian calendar, seconds cut off towards
// the past (a time before 1970 included).
std::string IsoTime(std::chrono::system_clock::time_point at);

}  // namespace tavlink::cli
