#pragma once
// The line fuzzer's seed sessions: for each of the six operations a whole
// successful exchange and the usual ways it goes wrong, so that mutation
// starts from inputs that reach every phase. write_line_corpus writes them
// to tests/fuzz/line_corpus/; the tests check that each still ends as named.

#include <string>
#include <vector>

#include "fuzz/line_script.h"
#include "transfer/transfer_dialog.h"

namespace tavlink::fuzz {

struct LineSeed {
  std::string name;  // also the corpus file's name
  Bytes input;
  TransferOutcome expected;
};

std::vector<LineSeed> LineSeeds();

}  // namespace tavlink::fuzz
