#pragma once
// Where read-user-data saves each receiver's user data: FILE itself for one
// receiver; for several, FILE with {port}, {device} and {n} filled in, or a
// file per receiver in the folder FILE, named after its port ("COM2.txt")
// or its device ("ttyUSB0.txt" for /dev/ttyUSB0).

#include <optional>
#include <string>
#include <vector>

#include "cli/terminal.h"
#include "operations/receiver_line.h"

namespace tavlink::cli {

// The file of each of `lines`, in their order. Nothing, after saying why on
// `terminal`, for several receivers and one plain name, or when two
// receivers would save to the same name.
std::optional<std::vector<std::string>> OutputNames(Terminal& terminal, const std::string& file,
                                                    const std::vector<ReceiverLine>& lines);

}  // namespace tavlink::cli
