#include "fuzz/line_session.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "link/frame.h"
#include "support/memory_line.h"
#include "support/recording_reporter.h"
#include "support/scripted_receiver.h"
#include "transfer/event_loop_view.h"

namespace tavlink::fuzz {
namespace {

constexpr size_t kRomHeaderSize = 42;
constexpr long long kHardStopMs = 600000;  // past the bound: the session never ends

// Virtual time. Sleeps on the worker's thread (its polls and pauses) are
// reported, so the harness can act at the same points in every run; the
// user-interface thread's own pause (the connect's success display) only
// advances the time.
class SessionClock final : public Clock {
 public:
  explicit SessionClock(std::function<void(long long)> onWorkerSleep)
      : onWorkerSleep_(std::move(onWorkerSleep)) {}
  void SleepFor(Duration d) override {
    elapsedMs_ += d.count();
    if (std::this_thread::get_id() != uiThread_) onWorkerSleep_(d.count());
  }
  TimePoint Now() override { return TimePoint{} + std::chrono::milliseconds(elapsedMs_.load()); }
  long long ElapsedMs() const { return elapsedMs_.load(); }

 private:
  const std::thread::id uiThread_ = std::this_thread::get_id();
  std::atomic<long long> elapsedMs_{0};
  std::function<void(long long)> onWorkerSleep_;
};

// The operation's file in memory, with the faults a variant asks for: a read
// or write that fails at its n-th call, a length that cannot be told.
class ScriptFile final : public TransferFile {
 public:
  ScriptFile(Bytes content, size_t position, int failAtCall, bool lengthKnown)
      : content_(std::move(content)),
        position_(position),
        failAtCall_(failAtCall),
        lengthKnown_(lengthKnown) {}
  std::optional<uint64_t> Length() override {
    if (!lengthKnown_) return std::nullopt;
    return content_.size();
  }
  std::optional<size_t> Read(uint8_t* buffer, size_t n) override {
    if (++calls_ == failAtCall_) return std::nullopt;
    const size_t got = std::min(n, content_.size() - std::min(position_, content_.size()));
    std::copy_n(content_.begin() + static_cast<long>(position_), got, buffer);
    position_ += got;
    return got;
  }
  bool Write(const uint8_t* buffer, size_t n) override {
    if (++calls_ == failAtCall_) return false;
    content_.insert(content_.end(), buffer, buffer + n);
    return true;
  }

 private:
  Bytes content_;
  size_t position_;
  int calls_ = 0;
  int failAtCall_;
  bool lengthKnown_;
};

// The first `n` bytes of a fixed pattern (n up to 65,535).
Bytes Pattern(size_t n) {
  static const Bytes pattern = [] {
    Bytes b(0x10000);
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(9 + i * 7);
    return b;
  }();
  return Bytes(pattern.begin(), pattern.begin() + static_cast<long>(n));
}

const ReceiverDataBlock& FactoryBlock() {
  static const auto block = [] {
    auto b = std::make_unique<ReceiverDataBlock>();
    for (size_t i = 0; i < ReceiverDataBlock::kSize; ++i)
      b->bytes()[i] = static_cast<uint8_t>(i * 13);
    return b;
  }();
  return *block;
}

void AppendBe32(Bytes& b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<uint8_t>(v >> shift));
}

// What the operation works on, as the script's variant and size choose.
//   connect    variant & 3: the answer buffer holds 100 bytes (0, 1), none (2), 1 byte (3)
//   upgrade    a ROM image of `size` bytes after its header
//   restore    `size` data bytes; (variant >> 4) & 3: the length field says
//              the size (0), one more (1), one less (2), or the file holds
//              only size mod 4 bytes (3)
//   upgrade, restore, backup: variant & 7 = n > 0 fails the n-th file call;
//              variant & 8: the file's length cannot be told
struct Operands {
  Bytes answer;
  std::unique_ptr<ReceiverDataBlock> block;
  std::unique_ptr<ScriptFile> file;
};

Operands OperandsFor(const LineScript& script) {
  Operands o;
  const int failAt = script.variant & 7;
  const bool lengthKnown = (script.variant & 8) == 0;
  switch (script.operation) {
    case OP_CONNECT: {
      static constexpr size_t kAnswerSizes[4] = {100, 100, 0, 1};
      o.answer.assign(kAnswerSizes[script.variant & 3], 0);
      break;
    }
    case OP_READ_USER_DATA:
      o.block = std::make_unique<ReceiverDataBlock>();
      break;
    case OP_WRITE_FACTORY:
      o.block = std::make_unique<ReceiverDataBlock>();
      *o.block = FactoryBlock();
      break;
    case OP_BACKUP:
      o.file = std::make_unique<ScriptFile>(Bytes{}, 0, failAt, lengthKnown);
      break;
    case OP_UPGRADE: {
      Bytes rom(kRomHeaderSize, 'H');
      const Bytes image = Pattern(script.size);
      rom.insert(rom.end(), image.begin(), image.end());
      o.file = std::make_unique<ScriptFile>(std::move(rom), kRomHeaderSize, failAt, lengthKnown);
      break;
    }
    case OP_RESTORE: {
      Bytes content;
      const int shape = (script.variant >> 4) & 3;
      if (shape == 3) {
        content = Pattern(script.size % 4);
      } else {
        const uint32_t field = script.size + (shape == 1 ? 1u : 0u) - (shape == 2 ? 1u : 0u);
        AppendBe32(content, field);
        const Bytes data = Pattern(script.size);
        content.insert(content.end(), data.begin(), data.end());
      }
      o.file = std::make_unique<ScriptFile>(std::move(content), 0, failAt, lengthKnown);
      break;
    }
    default:
      break;
  }
  return o;
}

int ClosingAcknowledgement(int operation) {
  switch (operation) {
    case OP_UPGRADE:
      return FC_UPGRADE_END;
    case OP_WRITE_FACTORY:
      return FC_FACTORY_END;
    case OP_RESTORE:
      return FC_RESTORE_END;
    default:
      return FC_ACK;  // the PC acknowledges the receiver's closing code
  }
}

// The session's window: records what the session shows, answers the stop
// question as the Cancel press asked and every other box with OK.
class SessionView final : public EventLoopView {
 public:
  // The user-interface thread reads it inside the Sync that presses Cancel.
  BoxAnswer questionAnswer = BoxAnswer::kYes;
  std::vector<std::string> statuses;
  std::vector<std::string> boxes;
  // The session was still running after kStuckIdlePeriods (see OnIdle).
  bool stuck = false;

  // The Cancel command, on the user-interface thread, as the button gives
  // it; returns once the dialog has taken it.
  void PressCancel(TransferDialog& dialog) {
    Sync([&dialog] { dialog.OnCancel(); });
  }

 protected:
  void OnStatus(std::string_view text) override { statuses.emplace_back(text); }
  BoxAnswer OnMessage(std::string_view text, std::string_view, BoxButtons buttons) override {
    boxes.emplace_back(text);
    return buttons == BoxButtons::kYesNo ? questionAnswer : BoxAnswer::kOk;
  }
  // Every session runs in virtual time and ends within moments of real
  // time. One still running after about 20 s is in a loop that never
  // sleeps on the clock, where no bound of virtual time can catch it: the
  // window is ended, which stops the worker at its next check point.
  void OnIdle() override {
    if (stuck || ++idlePeriods_ < kStuckIdlePeriods) return;
    stuck = true;
    EndDialog();
  }

 private:
  static constexpr int kStuckIdlePeriods = 400;  // of about 50 ms each
  int idlePeriods_ = 0;
};

// A frame observer, as the command line's --trace attaches one, so that the
// port's trace calls and the frame names run too.
class NamingTrace final : public FrameTrace {
 public:
  void OnFrame(Direction, int code, long, std::string_view verdict) override {
    characters_ += FrameCodeName(code).size() + verdict.size();
  }

 private:
  size_t characters_ = 0;
};

class LineSession {
 public:
  explicit LineSession(const LineScript& script)
      : script_(script), boundMs_(SessionBoundMs(script)) {
    line_->recordWrites = false;
    receiver_.SetScript(
        [this](const testing::SeenFrame&, testing::ScriptedReceiver&) { AnswerPcFrame(); });
    // The first set-up is the dialog's own Open; a later one is the PC
    // opening the line again at another rate, which the receiver answers
    // as it would a frame (read user data's data comes at 19200 baud).
    line_->OnConfigure([this](uint32_t) {
      if (++configures_ > 1) AnswerPcFrame();
    });
  }

  LineSessionResult Run() {
    Operands operands = OperandsFor(script_);
    if (script_.EarlyAnswer()) AnswerPcFrame();

    const TransferEnvironment env{clock_, reporter_,
                                  [this] { return std::make_unique<testing::MemoryDevice>(line_); },
                                  &trace_};
    LineSessionResult result;
    {
      TransferDialog dialog(view_, env);
      dialog_ = &dialog;
      dialog.Setup(1, script_.operation, operands.answer);
      dialog.SetDataFile(operands.file.get());
      dialog.SetDataBlock(operands.block.get());
      dialog.DoModal();
      result.outcome = dialog.Outcome();
      result.elapsedMs = clock_.ElapsedMs();
    }  // joins the worker: what it recorded is ours to read from here on
    dialog_ = nullptr;

    result.cancelAtMs = cancelAtMs_;
    result.unplugAtMs = unplugAtMs_;
    result.pcCodes = receiver_.Codes();
    result.statuses = view_.statuses;
    result.boxes = view_.boxes;
    result.deviceErrors = reporter_.Boxes().size();
    result.violations = std::move(violations_);
    if (view_.stuck)
      result.violations.push_back("the session never ended (a loop that never waits)");
    CheckEnding(result, operands);
    return result;
  }

 private:
  struct PendingCancel {
    long long dueMs;
    bool answerNo;
  };

  // Worker thread, inside the PC's write of a whole frame or its new line
  // set-up (the main thread for an answer on the line before the session).
  void AnswerPcFrame() {
    idleMs_ = 0;
    if (next_ >= script_.answers.size()) {
      exhausted_ = true;
      return;
    }
    const long long now = clock_.ElapsedMs();
    long long delayMs = 0;
    for (const LineItem& item : script_.answers[next_]) {
      delayMs += item.delayMs;
      if (item.unplug)
        Unplug(now + delayMs);
      else if (!item.cancel)
        line_->Deliver(item.bytes, delayMs);
      else if (delayMs == 0 && dialog_ != nullptr)
        PressCancel(item.answerNo, false);
      else
        pendingCancels_.push_back({now + delayMs, item.answerNo});
    }
    ++next_;
  }

  // The device goes away at `atMs` (the first unplug counts).
  void Unplug(long long atMs) {
    if (unplugAtMs_ >= 0) return;
    unplugAtMs_ = atMs;
    line_->GoAway(atMs - clock_.ElapsedMs());
  }

  // Worker thread, after each of its sleeps on the virtual clock.
  void OnWorkerSleep(long long sleptMs) {
    const long long now = clock_.ElapsedMs();
    for (auto it = pendingCancels_.begin(); it != pendingCancels_.end();) {
      if (it->dueMs > now) {
        ++it;
        continue;
      }
      const bool answerNo = it->answerNo;
      it = pendingCancels_.erase(it);
      PressCancel(answerNo, false);
    }
    const bool silent = line_->Pending() == 0;
    idleMs_ = silent ? idleMs_ + sleptMs : 0;
    if (silent && (exhausted_ || idleMs_ >= kSilentWaitMs) && cancelAtMs_ < 0 &&
        dialog_->State() == TS_RUNNING)
      PressCancel(false, true);

    if (now > boundMs_ && !overBound_) {
      overBound_ = true;
      violations_.push_back("session ran past its bound of " + std::to_string(boundMs_) + " ms");
      if (dialog_->State() == TS_RUNNING) PressCancel(false, false);
    }
    if (cancelAtMs_ >= 0 && now - cancelAtMs_ > kAfterCancelBoundMs && !overCancelBound_) {
      overCancelBound_ = true;
      violations_.push_back("session ran on more than " + std::to_string(kAfterCancelBoundMs) +
                            " ms after the Cancel");
    }
    if (unplugAtMs_ >= 0 && now - unplugAtMs_ > kAfterUnplugBoundMs && !overUnplugBound_) {
      overUnplugBound_ = true;
      violations_.push_back("session ran on more than " + std::to_string(kAfterUnplugBoundMs) +
                            " ms after its device went");
    }
    if (now > boundMs_ + kHardStopMs) {
      std::fprintf(stderr, "line session: still running %lld ms past its bound\n", kHardStopMs);
      std::abort();
    }
  }

  // Presses Cancel and waits until the dialog has taken it, so the worker
  // meets it at its next check point in every run. `inputUsedUp`: the
  // harness's own press, from which the session must end within
  // kAfterCancelBoundMs.
  void PressCancel(bool answerNo, bool inputUsedUp) {
    view_.questionAnswer = answerNo ? BoxAnswer::kNo : BoxAnswer::kYes;
    view_.PressCancel(*dialog_);
    if (dialog_->State() == TS_CANCEL_REQUESTED) stopRequested_ = true;
    if (inputUsedUp) cancelAtMs_ = clock_.ElapsedMs();
  }

  void CheckEnding(LineSessionResult& r, const Operands& operands) {
    auto broken = [&r](const std::string& what) { r.violations.push_back(what); };
    if (r.outcome != TransferOutcome::kSucceeded && r.outcome != TransferOutcome::kFailed &&
        r.outcome != TransferOutcome::kStopped && r.outcome != TransferOutcome::kFileFailed &&
        r.outcome != TransferOutcome::kNoAnswer)
      broken("the session did not end in success, failure, a file's failure or stop");
    if (r.elapsedMs > boundMs_) broken("the session took longer than its bound");
    if (r.cancelAtMs >= 0 && r.elapsedMs - r.cancelAtMs > kAfterCancelBoundMs)
      broken("the session ended too long after the Cancel");
    const bool unplugged = r.unplugAtMs >= 0 && r.unplugAtMs <= r.elapsedMs;
    if (r.deviceErrors != 0 && !unplugged) broken("a device error box on a line that never fails");
    if (r.deviceErrors > 1) broken("more than one device error box");
    if (unplugged && r.elapsedMs - r.unplugAtMs > kAfterUnplugBoundMs)
      broken("the session ended too long after its device went");
    for (const auto& f : receiver_.Frames())
      if (f.code == FC_DATA && !f.crcOk) broken("the PC sent a data frame with a wrong CRC");

    // Once the PC gives up it sends FC_ABORT (twice at most) and nothing else.
    size_t aborts = 0;
    for (int code : r.pcCodes) {
      if (code == FC_ABORT)
        ++aborts;
      else if (aborts > 0)
        broken("the PC sent a frame after FC_ABORT");
    }
    if (aborts > 2) broken("the PC sent FC_ABORT more than twice");
    const int last = r.pcCodes.empty() ? -1 : r.pcCodes.back();
    if (r.outcome == TransferOutcome::kStopped) {
      if (!stopRequested_) broken("stopped without a Cancel");
      // A device that has gone takes no FC_ABORT.
      if (last != FC_ABORT && r.deviceErrors == 0) broken("stopped without FC_ABORT");
    }
    if (r.outcome == TransferOutcome::kSucceeded) {
      if (aborts > 0) broken("succeeded after FC_ABORT");
      if (last != ClosingAcknowledgement(script_.operation))
        broken("succeeded without the closing exchange");
    }
    if (script_.operation == OP_CONNECT &&
        (r.outcome == TransferOutcome::kFailed || r.outcome == TransferOutcome::kStopped) &&
        !operands.answer.empty() && operands.answer[0] != 0)
      broken("a failed or stopped connect left the answer's first byte set");
  }

  const LineScript& script_;
  const long long boundMs_;
  SessionClock clock_{[this](long long sleptMs) { OnWorkerSleep(sleptMs); }};
  testing::RecordingReporter reporter_;
  std::shared_ptr<testing::MemoryLine> line_ = std::make_shared<testing::MemoryLine>(clock_);
  testing::ScriptedReceiver receiver_{line_};
  SessionView view_;
  NamingTrace trace_;
  TransferDialog* dialog_ = nullptr;

  // Worker thread while the session runs; read after it has been joined.
  int configures_ = 0;
  size_t next_ = 0;
  bool exhausted_ = false;
  long long idleMs_ = 0;
  std::vector<PendingCancel> pendingCancels_;
  long long cancelAtMs_ = -1;
  bool stopRequested_ = false;
  bool overBound_ = false;
  bool overCancelBound_ = false;
  long long unplugAtMs_ = -1;
  bool overUnplugBound_ = false;
  std::vector<std::string> violations_;
};

}  // namespace

long long SessionBoundMs(const LineScript& script) {
  long long frames = 0;
  for (const auto& answer : script.answers)
    for (const auto& item : answer) frames += static_cast<long long>(item.bytes.size() / 12 + 1);
  return static_cast<long long>(script.TotalDelayMs()) +
         static_cast<long long>(script.answers.size() + 2) * kPerAnswerBoundMs +
         frames * kPerFrameBoundMs + kAfterCancelBoundMs;
}

LineSessionResult RunLineSession(const LineScript& script) {
  LineSession session(script);
  return session.Run();
}

}  // namespace tavlink::fuzz
