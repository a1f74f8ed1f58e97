#pragma once
// A channel list read from a data text through the data text reader. The
// reader's result, its message and the line it stopped at are kept for a
// front end to show; a list exists only when the reader read the whole text.

#include <optional>
#include <string>

#include "channels/channel_list.h"
#include "data/receiver_data_block.h"

namespace tavlink::channels {

struct DataTextLoad {
  int result = 0;                   // the reader's result, 0 to 9 (data_text_reader.h)
  std::string message;              // the reader's message; empty when result is 0
  int line = 0;                     // the line the reader refused, from 1; 0 when result is 0
  std::optional<ChannelList> list;  // when result is 0
};

// Reads `text` (the file's bytes, CR LF as stored) into a copy of `base` as
// the reader does into the process's block, and makes the list of that
// block: what the text does not carry (kept bits, reserved bytes, the unused
// slots) comes from `base`, all zero when no base is given.
DataTextLoad LoadDataText(std::string text);
DataTextLoad LoadDataText(std::string text, const ReceiverDataBlock& base);

}  // namespace tavlink::channels
