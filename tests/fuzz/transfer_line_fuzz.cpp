// Plays arbitrary receiver bytes against the six transfer workers (see
// line_script.h for how an input describes a session and line_session.h for
// how it is run). Besides the sanitizers' checks it aborts on every promise a
// session breaks: it must end in success, failure or a stop, within its
// bound of virtual time and within 25 s of the Cancel the harness presses
// once the input is used up, and the PC's frames must be whole, with
// nothing but FC_ABORT after the first FC_ABORT.
//
// TAVLINK_LINE_FUZZ_TRACE=1 prints each session's ending, for replaying one
// input by hand.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/line_script.h"
#include "fuzz/line_session.h"
#include "link/frame.h"

namespace {

const char* OutcomeName(tavlink::TransferOutcome outcome) {
  using O = tavlink::TransferOutcome;
  switch (outcome) {
    case O::kSucceeded:
      return "succeeded";
    case O::kFailed:
      return "failed";
    case O::kStopped:
      return "stopped";
    case O::kPortFailed:
      return "port failed";
    default:
      return "not run";
  }
}

void Print(const tavlink::fuzz::LineScript& script, const tavlink::fuzz::LineSessionResult& r) {
  std::fprintf(stderr, "operation %d, %zu answers: %s after %lld ms (Cancel at %lld ms); PC sent",
               script.operation, script.answers.size(), OutcomeName(r.outcome), r.elapsedMs,
               r.cancelAtMs);
  for (int code : r.pcCodes) std::fprintf(stderr, " %s", tavlink::FrameCodeName(code).c_str());
  std::fprintf(stderr, "\n");
  for (const auto& v : r.violations) std::fprintf(stderr, "  broken: %s\n", v.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool trace = std::getenv("TAVLINK_LINE_FUZZ_TRACE") != nullptr;
  const auto script = tavlink::fuzz::DecodeLineScript(data, size);
  const auto result = tavlink::fuzz::RunLineSession(script);
  if (trace || !result.violations.empty()) Print(script, result);
  if (!result.violations.empty()) std::abort();
  return 0;
}
