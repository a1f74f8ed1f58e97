#pragma once
// The data text writer: turns a valid receiver data block into the data text
// (banners, then the antenna line if any, the satellites each followed by its
// transponders, and the services), in exactly the layout that the reader
// reads back.

#include "data/receiver_data_block.h"
#include "data/text_io.h"

namespace tavlink {

// Writes the data text of `block` to `file` (opened and closed by the
// caller), one banner or data line per WriteString call. Returns 0 when
// written, 1 when the block is not valid (then nothing at all is written).
// Reads only within the block, whatever its counts and references hold:
// counts are taken as 0..capacity, and a service whose transponder lies
// outside the transponder table is written with satellite and transponder
// numbers 0. FEC codes 6 and 7 are written as "fec6" and "fec7". The reader
// refuses all of these, so such a text cannot be sent back unnoticed.
int WriteDataText(const ReceiverDataBlock& block, TextOutput& file);

}  // namespace tavlink
