#pragma once
// Channel lists of the command line's files: a data text, or a 65,536-byte
// block image, told apart by what the file holds; and a list shown as the
// receiver will take it.

#include <optional>
#include <string>

#include "channels/channel_list.h"
#include "cli/terminal.h"

namespace tavlink::cli {

// The list of the file `path`: a file of exactly 65,536 bytes that begins
// with the block's magic or holds a zero byte is a block image, anything
// else a data text, read with the reader. Nothing, after saying why on
// standard error (the reader's message names the line), when the file
// cannot be read, an image is not a valid block, or the reader refuses the
// text.
std::optional<channels::ChannelList> LoadChannelList(Terminal& terminal, const std::string& path);

// Each service of `list` on a line of its own, with its position, name,
// TV or radio, transponder (frequency and polarization) and satellite, and
// its service_id, as the receiver will take them.
std::string ResolvedServices(const channels::ChannelList& list);

}  // namespace tavlink::cli
