#pragma once
// tavlink-cli's Env for tests: the commands run in the test's process, in
// virtual time (a SteppedClock), against receivers on in-memory lines; what
// they write to the standard streams is kept, questions are answered from a
// script, interrupts come when the test says, and the settings are the
// test's own.
//
//   TestCliEnv cli;
//   ScriptedReceiver& rx = cli.AddReceiver("/dev/rx");
//   rx.SetScript(...);
//   EXPECT_EQ(cli.Run({"--device", "/dev/rx", "connect"}), 0);
//   EXPECT_EQ(cli.terminal.StdOut(), "Software version: ...\n...");

#include <cerrno>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "cli/env.h"
#include "cli/interrupts.h"
#include "cli/terminal.h"
#include "settings/setting_store.h"
#include "support/memory_line.h"
#include "support/scripted_receiver.h"
#include "support/stepped_clock.h"

namespace tavlink::testing {

// Standard output and standard error kept as written (escapes and all),
// each write of standard error with the virtual time it came at, and the
// user's terminal as the test sets it up. Questions take the
// queued answers in order, each typed `after` the question was shown; a
// question without a queued answer waits for ever.
class FakeTerminal final : public cli::Terminal {
 public:
  explicit FakeTerminal(Clock& clock) : clock_(clock) {}

  // What the test sets before the command runs.
  bool errIsTerminal = false;
  int columns = 0;
  bool takesEscapes = false;
  bool canAsk = false;

  void QueueAnswer(bool yes, Clock::Duration after = Clock::Duration(0)) {
    std::lock_guard lock(mutex_);
    answers_.push_back({yes, after});
  }

  std::string StdOut() const {
    std::lock_guard lock(mutex_);
    return out_;
  }
  std::string StdErr() const {
    std::lock_guard lock(mutex_);
    return err_;
  }
  // The virtual time of the first write to standard error that holds
  // `text`, or nothing.
  std::optional<Clock::Duration> WhenErr(std::string_view text) const {
    std::lock_guard lock(mutex_);
    for (const auto& [at, written] : errWrites_)
      if (written.find(text) != std::string::npos) return at;
    return std::nullopt;
  }
  // How many writes to standard error hold `text`.
  int CountErr(std::string_view text) const {
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const auto& write : errWrites_) count += write.second.find(text) != std::string::npos;
    return count;
  }
  std::vector<std::string> Questions() const {
    std::lock_guard lock(mutex_);
    return questions_;
  }
  int Abandoned() const {
    std::lock_guard lock(mutex_);
    return abandoned_;
  }

  void Out(std::string_view text) override {
    std::lock_guard lock(mutex_);
    out_ += text;
  }
  void Err(std::string_view text) override {
    const auto at = std::chrono::duration_cast<Clock::Duration>(clock_.Now() - Clock::TimePoint{});
    std::lock_guard lock(mutex_);
    err_ += text;
    errWrites_.emplace_back(at, std::string(text));
  }
  bool ErrIsTerminal() override { return errIsTerminal; }
  int ErrColumns() override { return errIsTerminal ? columns : 0; }
  bool ErrTakesEscapes() override { return errIsTerminal && takesEscapes; }
  void EraseMeter() override { Err("\r\033[K"); }
  bool CanAsk() override { return canAsk; }

  std::optional<bool> AskAndWait(std::string_view question) override {
    if (!canAsk) return std::nullopt;
    std::lock_guard lock(mutex_);
    questions_.emplace_back(question);
    if (answers_.empty()) return false;  // Enter alone
    const bool yes = answers_.front().yes;
    answers_.pop_front();
    return yes;
  }

  std::unique_ptr<cli::TerminalQuestion> Ask(std::string_view question) override {
    if (!canAsk) return nullptr;
    std::lock_guard lock(mutex_);
    questions_.emplace_back(question);
    std::optional<Answer> answer;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    return std::make_unique<Question>(*this, answer, clock_.Now());
  }

 private:
  struct Answer {
    bool yes;
    Clock::Duration after;
  };

  class Question final : public cli::TerminalQuestion {
   public:
    Question(FakeTerminal& terminal, std::optional<Answer> answer, Clock::TimePoint asked)
        : terminal_(terminal), answer_(answer), asked_(asked) {}
    std::optional<bool> Poll() override {
      if (!answer_ || terminal_.clock_.Now() < asked_ + answer_->after) return std::nullopt;
      return answer_->yes;
    }
    void Abandon() override {
      std::lock_guard lock(terminal_.mutex_);
      ++terminal_.abandoned_;
    }

   private:
    FakeTerminal& terminal_;
    std::optional<Answer> answer_;
    Clock::TimePoint asked_;
  };

  Clock& clock_;
  mutable std::mutex mutex_;
  std::string out_, err_;
  std::vector<std::pair<Clock::Duration, std::string>> errWrites_;
  std::deque<Answer> answers_;
  std::vector<std::string> questions_;
  int abandoned_ = 0;
};

// Interrupts that come when the test says: now, or at a virtual time.
class FakeInterrupts final : public cli::Interrupts {
 public:
  explicit FakeInterrupts(Clock& clock) : clock_(clock) {}

  void Interrupt() {
    std::lock_guard lock(mutex_);
    ++now_;
  }
  void InterruptAt(Clock::TimePoint at) {
    std::lock_guard lock(mutex_);
    at_.push_back(at);
  }
  // Transfer spans open now.
  int Spans() const {
    std::lock_guard lock(mutex_);
    return spans_;
  }

  int Count() override {
    const Clock::TimePoint time = clock_.Now();
    std::lock_guard lock(mutex_);
    int count = now_;
    for (const Clock::TimePoint at : at_) count += at <= time ? 1 : 0;
    return count;
  }
  void EnterTransfer() override {
    std::lock_guard lock(mutex_);
    ++spans_;
  }
  void LeaveTransfer() override {
    std::lock_guard lock(mutex_);
    --spans_;
  }

 private:
  Clock& clock_;
  mutable std::mutex mutex_;
  int now_ = 0;
  std::vector<Clock::TimePoint> at_;
  int spans_ = 0;
};

// The time of day: a fixed morning plus the virtual time passed.
class FakeWallClock final : public cli::WallClock {
 public:
  // 2026-12-08 16:00:00 UTC.
  static constexpr std::chrono::seconds kMorning{1796745600};
  explicit FakeWallClock(Clock& clock) : clock_(clock) {}
  std::chrono::system_clock::time_point Now() override {
    return std::chrono::system_clock::time_point(kMorning) + (clock_.Now() - Clock::TimePoint{});
  }

 private:
  Clock& clock_;
};

// Settings held in memory; every store opened reads and writes the same.
class MemorySettings {
 public:
  std::optional<int32_t> port;
  std::map<int, std::string> devices;

  std::unique_ptr<SettingStore> Open() { return std::make_unique<Store>(*this); }

 private:
  class Store final : public SettingStore {
   public:
    explicit Store(MemorySettings& settings) : settings_(settings) {}
    std::optional<int32_t> ReadPort() override { return settings_.port; }
    bool WritePort(int32_t port) override {
      settings_.port = port;
      return true;
    }
    std::optional<std::string> ReadDevice(int portNumber) override {
      const auto it = settings_.devices.find(portNumber);
      if (it == settings_.devices.end() || it->second.empty()) return std::nullopt;
      return it->second;
    }
    bool WriteDevice(int portNumber, const std::string& path) override {
      settings_.devices[portNumber] = path;
      return true;
    }

   private:
    MemorySettings& settings_;
  };
};

// A device on a MemoryLine that holds the clock for the worker its session
// is about to start: from its first open until a call comes from another
// thread than the one that opened it (the worker's first write), or until
// it is destroyed.
class SteppedDevice final : public SerialDevice {
 public:
  SteppedDevice(SteppedClock& clock, std::shared_ptr<MemoryLine> line)
      : clock_(clock), device_(std::move(line)) {}
  ~SteppedDevice() override {
    if (held_) clock_.Release();
  }

  DeviceError Open(int portNumber) override {
    Touch();
    const DeviceError error = device_.Open(portNumber);
    if (!error && opener_ == std::thread::id{}) {
      opener_ = std::this_thread::get_id();
      held_ = true;
      clock_.Hold();
    }
    return error;
  }
  DeviceError SetupQueues(uint32_t in, uint32_t out) override {
    Touch();
    return device_.SetupQueues(in, out);
  }
  DeviceError Configure(const LineSettings& settings) override {
    Touch();
    return device_.Configure(settings);
  }
  DeviceError ClearErrors() override {
    Touch();
    return device_.ClearErrors();
  }
  DeviceError ReadAvailable(uint8_t* buf, size_t max, size_t* got) override {
    Touch();
    return device_.ReadAvailable(buf, max, got);
  }
  DeviceError Write(const uint8_t* buf, size_t count, std::chrono::milliseconds timeout,
                    size_t* written, bool* timedOut) override {
    Touch();
    return device_.Write(buf, count, timeout, written, timedOut);
  }
  DeviceError DiscardInput() override {
    Touch();
    return device_.DiscardInput();
  }
  DeviceError Close() override {
    Touch();
    return device_.Close();
  }

 private:
  // The worker's first call: it takes part, and the hold is over.
  void Touch() {
    if (!held_ || std::this_thread::get_id() == opener_) return;
    held_ = false;
    clock_.TakePart();
    clock_.Release();
  }

  SteppedClock& clock_;
  MemoryDevice device_;
  std::thread::id opener_;
  bool held_ = false;  // the opener's and then the worker's: never at once
};

class TestCliEnv {
 public:
  TestCliEnv() = default;
  TestCliEnv(const TestCliEnv&) = delete;
  TestCliEnv& operator=(const TestCliEnv&) = delete;

  SteppedClock clock;
  FakeWallClock wallClock{clock};
  FakeTerminal terminal{clock};
  FakeInterrupts interrupts{clock};
  MemorySettings settings;
  cli::Env env{clock,
               clock,
               wallClock,
               terminal,
               interrupts,
               [this] { return settings.Open(); },
               [this](const std::string& path) { return MakeDevice(path); }};

  // A receiver on the device `path`, answering as its script says (nothing
  // until it has one). Any other path does not exist.
  ScriptedReceiver& AddReceiver(const std::string& path) {
    std::lock_guard lock(mutex_);
    auto line = std::make_shared<MemoryLine>(clock);
    lines_[path] = line;
    receivers_.push_back(std::make_unique<ScriptedReceiver>(line));
    return *receivers_.back();
  }

  // Runs tavlink-cli with `args` and returns its exit status.
  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), "tavlink-cli");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    return cli::RunCli(env, static_cast<int>(argv.size()), argv.data());
  }

 private:
  std::unique_ptr<SerialDevice> MakeDevice(const std::string& path) {
    std::lock_guard lock(mutex_);
    const auto it = lines_.find(path);
    if (it != lines_.end()) return std::make_unique<SteppedDevice>(clock, it->second);
    auto missing = std::make_shared<MemoryLine>(clock);
    missing->failOpenWith = ENOENT;
    return std::make_unique<SteppedDevice>(clock, missing);
  }

  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<MemoryLine>> lines_;
  std::vector<std::unique_ptr<ScriptedReceiver>> receivers_;
};

}  // namespace tavlink::testing
