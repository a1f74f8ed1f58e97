#pragma once
// The simulator's diagnostics: reports (always shown) and the frame trace
// (shown with --log), one time-stamped line each, handed to a sink. The
// default sink is standard error; standard output is kept for the device
// paths. Thread-safe; several logs (one per receiver) may share a sink that
// is itself safe to call from several threads.

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

namespace tavlink::sim {

class SimLog {
 public:
  using Sink = std::function<void(const std::string& line)>;

  // `traceFrames` turns the frame trace on; `prefix` (for example "#3 ")
  // goes between the time stamp and each text.
  SimLog(Sink sink, bool traceFrames, std::string prefix = {});

  // Writes each line to standard error, flushed.
  static Sink StderrSink();

  // A problem or notable event: "[  12.345] text" (with the prefix:
  // "[  12.345] #3 text").
  void Report(const std::string& text);

  // One frame on the line; dropped unless the trace is on.
  void Trace(const std::string& text);

  bool tracing() const { return traceFrames_; }

 private:
  void Emit(const std::string& text);

  Sink sink_;
  bool traceFrames_;
  std::string prefix_;
  std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
};

}  // namespace tavlink::sim
