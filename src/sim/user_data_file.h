#pragma once
// Loads the receiver's user data from a file: either a raw 65,536-byte
// block image (it starts with "evileyes" or holds a NUL byte) or a data
// text file.

#include <string>

#include "data/receiver_data_block.h"

namespace tavlink::sim {

// Fills `*block` from `path`. On failure returns false, leaves `*block`
// untouched and puts a one-line reason in `*error`.
bool LoadUserData(const std::string& path, ReceiverDataBlock* block, std::string* error);

}  // namespace tavlink::sim
