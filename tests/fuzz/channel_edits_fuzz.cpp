// Plays edit scripts over arbitrary receiver data blocks (see
// channel_session.h for the input and the promises checked). Besides the
// sanitizers' checks it aborts on the first broken promise.
//
// TAVLINK_CHANNEL_FUZZ_TRACE=1 prints each session's count of edits.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/channel_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tavlink::fuzz::ChannelSessionResult result = tavlink::fuzz::PlayChannelSession(data, size);
  static const bool trace = std::getenv("TAVLINK_CHANNEL_FUZZ_TRACE") != nullptr;
  if (trace) std::fprintf(stderr, "%d edits, %d done\n", result.edits, result.done);
  for (const auto& violation : result.violations) std::fprintf(stderr, "%s\n", violation.c_str());
  if (!result.violations.empty()) std::abort();
  return 0;
}
