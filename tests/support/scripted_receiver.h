#pragma once
// A scripted receiver on a MemoryLine: it cuts what the PC writes into
// frames, records them, and lets the test answer each one. Runs on the
// worker thread inside the PC's writes; the test reads the record after the
// session has ended.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "support/frame_bytes.h"
#include "support/memory_line.h"

namespace tavlink::testing {

struct SeenFrame {
  int code = 0;
  Bytes payload;  // data frames only
  bool crcOk = true;
};

class ScriptedReceiver {
 public:
  using Script = std::function<void(const SeenFrame&, ScriptedReceiver&)>;

  explicit ScriptedReceiver(std::shared_ptr<MemoryLine> line) : line_(std::move(line)) {
    line_->OnWrite([this](const uint8_t* p, size_t n) { Take(p, n); });
  }

  void SetScript(Script script) { script_ = std::move(script); }

  // Queues bytes for the PC, readable after `delayMs` of virtual time.
  void Reply(const Bytes& bytes, long long delayMs = 0) { line_->Deliver(bytes, delayMs); }
  void ReplyCode(int code, long long delayMs = 0) { Reply(CommandFrame(code), delayMs); }
  void ReplyData(const Bytes& payload, long long delayMs = 0) {
    Reply(DataFrame(payload), delayMs);
  }

  std::vector<SeenFrame> Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const auto& f : Frames()) codes.push_back(f.code);
    return codes;
  }
  MemoryLine& Line() { return *line_; }

 private:
  void Take(const uint8_t* p, size_t n) {
    pending_.insert(pending_.end(), p, p + n);
    while (pending_.size() >= 12) {
      const int code = (pending_[8] << 8) | pending_[9];
      size_t size = 12;
      if (code == 48) size += static_cast<size_t>((pending_[10] << 8) | pending_[11]);
      if (pending_.size() < size) return;
      SeenFrame frame{code, {}, true};
      if (code == 48 && size >= 16) {
        frame.payload.assign(pending_.begin() + 12, pending_.begin() + static_cast<long>(size) - 4);
        const Bytes expected = DataFrame(frame.payload);
        frame.crcOk = std::equal(expected.end() - 4, expected.end(),
                                 pending_.begin() + static_cast<long>(size) - 4);
      }
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(size));
      {
        std::lock_guard lock(mutex_);
        frames_.push_back(frame);
      }
      if (script_) script_(frame, *this);
    }
  }

  std::shared_ptr<MemoryLine> line_;
  Script script_;
  Bytes pending_;
  mutable std::mutex mutex_;
  std::vector<SeenFrame> frames_;
};

}  // namespace tavlink::testing
