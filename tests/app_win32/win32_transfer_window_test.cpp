// The Win32 transfer window around a real session on an in-memory line: the
// posted TransferDone (message 1124), the Cancel button, and the question
// before an upgrade stops, whose default answer is No.
#include "win32_widgets/win32_transfer_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "app_win32/resource_ids.h"
#include "app_win32/window_driver.h"
#include "link/frame.h"
#include "support/memory_line.h"
#include "support/scripted_receiver.h"
#include "transfer/transfer_runner.h"
#include "win32_widgets/win32_message_box.h"

namespace tavlink {
namespace {

using testing::Click;
using testing::WaitForWindow;

// Every pause and time-out of the session at a hundredth of its length in
// real time: a silent receiver's 20-second wait takes 0.2 s, so the worker
// comes to its check points often while the test clicks. Thread-safe.
class ScaledClock final : public Clock {
 public:
  void SleepFor(Duration d) override {
    elapsedMs_ += d.count();
    std::this_thread::sleep_for(d / 100);
  }
  TimePoint Now() override { return TimePoint{} + std::chrono::milliseconds(elapsedMs_.load()); }

 private:
  std::atomic<long long> elapsedMs_{0};
};

// A ROM image body in memory.
class MemoryFile final : public TransferFile {
 public:
  explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
  std::optional<uint64_t> Length() override { return bytes_.size(); }
  std::optional<size_t> Read(uint8_t* buffer, size_t n) override {
    n = std::min(n, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
  }
  bool Write(const uint8_t*, size_t) override { return false; }

 private:
  std::string bytes_;
  size_t position_ = 0;
};

constexpr const char* kStopQuestion =
    " It is very important time!  \n\n You want to stop the upgrade procedure?  ";

// An upgrade against a receiver that never answers: the worker sends its
// request again and again until the user stops it.
class SilentUpgradeTest : public ::testing::Test {
 protected:
  void Start() {
    ui_ = std::make_unique<testing::UiThread>([this] {
      app::Win32TransferWindow window(nullptr);
      const TransferEnvironment environment{
          clock_, window, [line = line_] { return std::make_unique<testing::MemoryDevice>(line); }};
      TransferRequest request;
      request.portNumber = 1;
      request.operation = OP_UPGRADE;
      request.file = &body_;
      outcome_ = RunTransfer(window, environment, request);
    });
    dialog_ = WaitForWindow(ui_->Id(), "Upgrade software");
  }
  HWND Question() { return WaitForWindow(ui_->Id(), app::ApplicationCaption()); }

  ScaledClock clock_;
  std::shared_ptr<testing::MemoryLine> line_ = std::make_shared<testing::MemoryLine>(clock_);
  testing::ScriptedReceiver receiver_{line_};
  MemoryFile body_{std::string(5000, 'i')};
  std::atomic<TransferOutcome> outcome_{TransferOutcome::kNotRun};
  std::unique_ptr<testing::UiThread> ui_;
  HWND dialog_ = nullptr;
};

TEST_F(SilentUpgradeTest, TransferDoneIsMessage1124WithWParam1) {
  Start();
  ASSERT_NE(dialog_, nullptr);
  ASSERT_TRUE(testing::WaitForItemText(dialog_, IDC_STATUS, "Connecting..."));
  ::PostMessageA(dialog_, 1124, 0, 0);  // not a report: wParam is always 1
  ::PostMessageA(dialog_, 1124, 1, 0);  // the upgrade failed
  const HWND box = WaitForWindow(ui_->Id(), "Upgrade");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::BoxText(box), "Software upgrade error!");
  Click(box, IDOK);
  ASSERT_TRUE(testing::WaitUntilGone(box));
  EXPECT_EQ(WaitForWindow(ui_->Id(), "Upgrade", std::chrono::milliseconds(300)), nullptr);
  // The report changed nothing for the worker, which goes on until stopped.
  EXPECT_TRUE(::IsWindowVisible(dialog_));
}

TEST_F(SilentUpgradeTest, StopQuestionDefaultsToNoAndYesStopsTheUpgrade) {
  Start();
  ASSERT_NE(dialog_, nullptr);
  ASSERT_TRUE(testing::WaitForItemText(dialog_, IDC_STATUS, "Connecting..."));
  EXPECT_EQ(testing::FocusOf(ui_->Id()), ::GetDlgItem(dialog_, IDCANCEL));
  EXPECT_EQ(::GetWindowLongPtrA(dialog_, GWL_STYLE) & WS_SYSMENU, 0);  // no close box

  Click(dialog_, IDCANCEL);
  const HWND question = Question();
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(testing::BoxText(question), kStopQuestion);
  EXPECT_EQ(testing::DefaultButton(question), IDNO);
  const HWND focus = testing::FocusOf(ui_->Id());
  EXPECT_EQ(focus, ::GetDlgItem(question, IDNO));
  // A reflex Enter answers No, and the upgrade goes on.
  testing::PressKey(focus, VK_RETURN);
  ASSERT_TRUE(testing::WaitUntilGone(question));
  const size_t framesBefore = receiver_.Frames().size();
  EXPECT_TRUE(testing::WaitUntil([&] { return receiver_.Frames().size() > framesBefore + 1; }));
  EXPECT_EQ(testing::ItemText(dialog_, IDC_STATUS), "Connecting...");
  EXPECT_TRUE(::IsWindowVisible(dialog_));

  Click(dialog_, IDCANCEL);
  const HWND again = Question();
  ASSERT_NE(again, nullptr);
  Click(again, IDYES);
  ASSERT_TRUE(ui_->WaitFinished());
  EXPECT_EQ(outcome_.load(), TransferOutcome::kStopped);
  const std::vector<int> codes = receiver_.Codes();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), FC_UPGRADE);
  EXPECT_EQ(codes.back(), FC_ABORT);
}

}  // namespace
}  // namespace tavlink
