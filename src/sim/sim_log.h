#pragma once
// The simulator's diagnostics: reports (always shown) and the frame trace
// (shown with --log), one time-stamped line each, handed to a sink. The
// default sink is standard error; standard output is kept for the device
// path. Thread-safe.

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

namespace tavlink::sim {

class SimLog {
 public:
  using Sink = std::function<void(const std::string& line)>;

  // `traceFrames` turns the frame trace on.
  SimLog(Sink sink, bool traceFrames);

  // Writes each line to standard error, flushed.
  static Sink StderrSink();

  // A problem or notable event: "[  12.345] text".
  void Report(const std::string& text);

  // One frame on the line; dropped unless the trace is on.
  void Trace(const std::string& text);

  bool tracing() const { return traceFrames_; }

 private:
  void Emit(const std::string& text);

  Sink sink_;
  bool traceFrames_;
  std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
};

}  // namespace tavlink::sim
