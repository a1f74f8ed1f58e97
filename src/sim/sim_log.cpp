#include "sim/sim_log.h"

#include <cstdio>

namespace tavlink::sim {

SimLog::SimLog(Sink sink, bool traceFrames, std::string prefix)
    : sink_(std::move(sink)),
      traceFrames_(traceFrames),
      prefix_(std::move(prefix)),
      start_(std::chrono::steady_clock::now()) {}

SimLog::Sink SimLog::StderrSink() {
  return [](const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
  };
}

void SimLog::Report(const std::string& text) {
  Emit(text);
}

void SimLog::Trace(const std::string& text) {
  if (traceFrames_) Emit(text);
}

void SimLog::Emit(const std::string& text) {
  const auto elapsed = std::chrono::steady_clock::now() - start_;
  const long ms =
      static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "[%5ld.%03ld] ", ms / 1000, ms % 1000);
  std::lock_guard<std::mutex> lock(mutex_);
  sink_(stamp + prefix_ + text);
}

}  // namespace tavlink::sim
