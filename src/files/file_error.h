#pragma once
// The error numbers of the file side: the system's errno values, plus a
// few refusals of our own that the system has no number for.

#include <string>

namespace tavlink {

inline constexpr int kErrorNotPlainFile = -1;  // a device, FIFO or socket where a file belongs
inline constexpr int kErrorInUse = -2;         // another program holds the file
inline constexpr int kErrorIsTheInput = -3;    // an output that is the command's own input

// The words for `error`: the system's text, or ours for the numbers above.
std::string DescribeFileError(int error);

}  // namespace tavlink
