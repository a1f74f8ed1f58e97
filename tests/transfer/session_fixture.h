#pragma once
// One transfer session against a scripted receiver on an in-memory line, in
// virtual time: the worker runs on its own thread as in the tool, but every
// pause and time-out passes at once.

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "link/frame.h"
#include "support/frame_bytes.h"
#include "support/memory_line.h"
#include "support/recording_reporter.h"
#include "support/recording_view.h"
#include "support/scripted_receiver.h"
#include "support/virtual_clock.h"
#include "transfer/transfer_runner.h"

namespace tavlink::testing {

// A file in memory with a position, and switches that make it fail.
class MemoryFile final : public TransferFile {
 public:
  explicit MemoryFile(Bytes content = {}, size_t position = 0)
      : content(std::move(content)), position(position) {}
  std::optional<uint64_t> Length() override { return content.size(); }
  std::optional<size_t> Read(uint8_t* buffer, size_t n) override {
    if (failReads || readsLeft == 0) return std::nullopt;
    if (readsLeft > 0) --readsLeft;
    const size_t got = std::min(n, content.size() - std::min(position, content.size()));
    std::copy_n(content.begin() + static_cast<long>(position), got, buffer);
    position += got;
    return got;
  }
  bool Write(const uint8_t* buffer, size_t n) override {
    if (failWrites) return false;
    content.insert(content.end(), buffer, buffer + n);
    return true;
  }
  Bytes content;
  size_t position;
  bool failReads = false;
  int readsLeft = -1;  // reads that succeed before every later one fails; -1: all succeed
  bool failWrites = false;
};

class SessionTest : public ::testing::Test {
 protected:
  VirtualClock clock;
  RecordingReporter reporter;
  std::shared_ptr<MemoryLine> line = std::make_shared<MemoryLine>(clock);
  ScriptedReceiver receiver{line};
  RecordingView view;

  // Runs one operation to its end and returns how it ended.
  TransferOutcome Run(int operation, TransferFile* file = nullptr,
                      ReceiverDataBlock* block = nullptr, std::span<uint8_t> answer = {}) {
    const TransferEnvironment env{clock, reporter,
                                  [this] { return std::make_unique<MemoryDevice>(line); }};
    return RunTransfer(view, env, {1, operation, answer, file, block});
  }

  // The session being run, for scripts that act as the user at a precise
  // moment.
  TransferDialog& Current() { return *view.CurrentDialog(); }

  std::vector<int> Codes() const { return receiver.Codes(); }
};

}  // namespace tavlink::testing
