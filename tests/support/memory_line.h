#pragma once
// An in-memory serial line for tests: the PC side is a SerialDevice, the
// far side is the test (or a scripted receiver). Bytes the far side queues
// become readable at a virtual time, so a receiver can answer late.
//
// Thread-safe: the worker thread drives the device while the test thread
// sets fault switches and reads the counters; switches and counters are
// atomic, and everything else is behind the line's mutex.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/serial_device.h"

namespace tavlink::testing {

class MemoryLine {
 public:
  explicit MemoryLine(Clock& clock) : clock_(clock) {}

  // --- far side ---------------------------------------------------------
  // Queues bytes that the PC can read once `delayMs` of virtual time passed.
  void Deliver(const std::vector<uint8_t>& bytes, long long delayMs = 0) {
    if (bytes.empty()) return;
    std::lock_guard lock(mutex_);
    const auto at = clock_.Now() + std::chrono::milliseconds(delayMs);
    incoming_.push_back({bytes, 0, at});
    pending_ += bytes.size();
  }
  void Deliver(const std::string& bytes, long long delayMs = 0) {
    Deliver(std::vector<uint8_t>(bytes.begin(), bytes.end()), delayMs);
  }

  // Called (outside the lock) with each chunk the PC writes.
  void OnWrite(std::function<void(const uint8_t*, size_t)> handler) {
    std::lock_guard lock(mutex_);
    onWrite_ = std::move(handler);
  }

  // Called (outside the lock) each time the PC applies line settings.
  void OnConfigure(std::function<void(uint32_t baudRate)> handler) {
    std::lock_guard lock(mutex_);
    onConfigure_ = std::move(handler);
  }
  void Configured(const LineSettings& settings) {
    std::function<void(uint32_t)> handler;
    {
      std::lock_guard lock(mutex_);
      baudRates_.push_back(settings.baudRate);
      lastSettings_ = settings;
      handler = onConfigure_;
    }
    if (handler) handler(settings.baudRate);
  }

  // Everything the PC wrote, and how it was cut into Write calls.
  std::vector<uint8_t> Written() const {
    std::lock_guard lock(mutex_);
    return written_;
  }
  std::vector<size_t> WriteSizes() const {
    std::lock_guard lock(mutex_);
    return writeSizes_;
  }
  // Bytes queued for the PC and not yet read, including those not yet due.
  size_t Pending() const {
    std::lock_guard lock(mutex_);
    return pending_;
  }

  // Every rate Configure applied, and the settings it applied last.
  std::vector<uint32_t> BaudRates() const {
    std::lock_guard lock(mutex_);
    return baudRates_;
  }
  LineSettings LastSettings() const {
    std::lock_guard lock(mutex_);
    return lastSettings_;
  }

  // The device goes away `delayMs` of virtual time from now (an unplugged
  // adapter): from then on every read, write and discard on it fails with
  // `error` as a device that has gone (DeviceError::Kind::kGone), and each
  // such call is counted in `callsWhileGone`.
  void GoAway(long long delayMs = 0, int error = EIO) {
    std::lock_guard lock(mutex_);
    goneAt_ = clock_.Now() + std::chrono::milliseconds(delayMs);
    goneError_ = error;
  }
  // The error of a call made now: 0 while the device is there.
  int GoneError() const {
    std::lock_guard lock(mutex_);
    return goneError_ != 0 && clock_.Now() >= goneAt_ ? goneError_ : 0;
  }

  // --- faults and observations -------------------------------------------
  std::atomic<int> failOpenWith{0};         // errno-like code that Open fails with
  std::atomic<int> failSetupQueuesWith{0};  // ... that SetupQueues fails with (after Open)
  std::atomic<int> failConfigureWith{0};    // ... that Configure fails with (after Open)
  std::atomic<int> failReadWith{0};         // ... that ReadAvailable fails with
  std::atomic<bool> writeTimesOut{false};   // Write takes nothing and times out
  std::atomic<bool> recordWrites{true};     // false: forget what was written (benchmarks)
  std::atomic<int> opens{0}, closes{0}, inputDiscards{0}, callsWhileGone{0};
  std::atomic<bool> open{false};

  // --- PC side, used by the device ----------------------------------------
  size_t TakeAvailable(uint8_t* buf, size_t max) {
    std::lock_guard lock(mutex_);
    const auto now = clock_.Now();
    size_t n = 0;
    while (n < max && !incoming_.empty() && incoming_.front().at <= now) {
      Timed& chunk = incoming_.front();
      const size_t k = std::min(max - n, chunk.bytes.size() - chunk.taken);
      std::memcpy(buf + n, chunk.bytes.data() + chunk.taken, k);
      chunk.taken += k;
      n += k;
      if (chunk.taken == chunk.bytes.size()) incoming_.pop_front();
    }
    pending_ -= n;
    return n;
  }
  void Take(const uint8_t* buf, size_t n) {
    std::function<void(const uint8_t*, size_t)> handler;
    {
      std::lock_guard lock(mutex_);
      if (recordWrites) {
        written_.insert(written_.end(), buf, buf + n);
        writeSizes_.push_back(n);
      }
      handler = onWrite_;
    }
    if (handler) handler(buf, n);
  }
  void Flush() {
    std::lock_guard lock(mutex_);
    incoming_.clear();
    pending_ = 0;
  }

 private:
  // The bytes of one Deliver call, readable from `at` on; `taken` of them
  // have been read.
  struct Timed {
    std::vector<uint8_t> bytes;
    size_t taken;
    Clock::TimePoint at;
  };
  Clock& clock_;
  mutable std::mutex mutex_;
  std::deque<Timed> incoming_;
  size_t pending_ = 0;
  std::vector<uint8_t> written_;
  std::vector<size_t> writeSizes_;
  std::function<void(const uint8_t*, size_t)> onWrite_;
  std::function<void(uint32_t)> onConfigure_;
  std::vector<uint32_t> baudRates_;
  LineSettings lastSettings_;
  Clock::TimePoint goneAt_{};
  int goneError_ = 0;
};

// The SerialDevice over a MemoryLine.
class MemoryDevice final : public SerialDevice {
 public:
  explicit MemoryDevice(std::shared_ptr<MemoryLine> line) : line_(std::move(line)) {}

  DeviceError Open(int) override {
    if (const int e = line_->failOpenWith) return {e, std::strerror(e)};
    ++line_->opens;
    line_->open = true;
    return {};
  }
  DeviceError SetupQueues(uint32_t, uint32_t) override {
    if (const int e = line_->failSetupQueuesWith) return {e, std::strerror(e)};
    return {};
  }
  DeviceError Configure(const LineSettings& s) override {
    if (const int e = line_->failConfigureWith) return {e, std::strerror(e)};
    line_->Configured(s);
    return {};
  }
  DeviceError ClearErrors() override { return {}; }
  DeviceError ReadAvailable(uint8_t* buf, size_t max, size_t* got) override {
    *got = 0;
    if (DeviceError gone = Gone()) return gone;
    if (const int e = line_->failReadWith) return {e, std::strerror(e)};
    *got = line_->TakeAvailable(buf, max);
    return {};
  }
  DeviceError Write(const uint8_t* buf, size_t count, std::chrono::milliseconds, size_t* written,
                    bool* timedOut) override {
    *written = 0;
    *timedOut = false;
    if (DeviceError gone = Gone()) return gone;
    *timedOut = line_->writeTimesOut;
    if (line_->writeTimesOut) return {};
    line_->Take(buf, count);
    *written = count;
    return {};
  }
  DeviceError DiscardInput() override {
    if (DeviceError gone = Gone()) return gone;
    ++line_->inputDiscards;
    line_->Flush();
    return {};
  }
  DeviceError Close() override {
    ++line_->closes;
    line_->open = false;
    return {};
  }

 private:
  DeviceError Gone() {
    const int e = line_->GoneError();
    if (e == 0) return {};
    ++line_->callsWhileGone;
    return {e, std::strerror(e), DeviceError::Kind::kGone};
  }

  std::shared_ptr<MemoryLine> line_;
};

}  // namespace tavlink::testing
