#pragma once
// The channel list fuzzer's harness: one input is a receiver data block and
// a script of edits, played on a ChannelEditor while the list's promises are
// checked. Also run over the committed corpus in the ordinary test build.
//
// Input:
//   byte 0 odd, and at least 65,537 bytes: bytes 1..65,536 are the block;
//   otherwise a seed: bytes 1-4 seed a generator of a valid list, bytes 5-7
//   size it (satellites byte 5 mod 107, transponders byte 6 x 2 and services
//   byte 7 x 3, a full table for 255), byte 8 mod 32 gives a number of
//   pokes, each 3 bytes (offset, little-endian, and a value) written into
//   the block, which may break any limit.
//   The rest: the choices of the edits (edit_script.h), at most 64 edits.
//
// Promises checked: the list gives its block back byte for byte; an edit
// that is refused or has nothing to do leaves the block, the revision and
// the history as they were; a list that passed the check still passes it
// after every eighth edit and the last, and its last text reads back into its
// block's text content;
// undoing every step gives the first block, redoing them the last; comparing
// and formatting the comparison of any two states works.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavlink::fuzz {

struct ChannelSessionResult {
  std::vector<std::string> violations;
  int edits = 0;
  int done = 0;
};

ChannelSessionResult PlayChannelSession(const uint8_t* data, size_t size);

}  // namespace tavlink::fuzz
