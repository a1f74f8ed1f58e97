#pragma once
// The data text: the editable, line-oriented text form of the receiver data
// block. Reader, writer and the text file objects they use.

#include "data/data_text_reader.h"  // IWYU pragma: export
#include "data/data_text_writer.h"  // IWYU pragma: export
#include "data/text_io.h"           // IWYU pragma: export
