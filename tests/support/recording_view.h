#pragma once
// A transfer view that records what the session shows, answers message
// boxes from a script, and can press Cancel when a chosen status appears.

#include <gtest/gtest.h>

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "transfer/event_loop_view.h"
#include "transfer/transfer_dialog.h"

namespace tavlink::testing {

class RecordingView final : public EventLoopView {
 public:
  struct Box {
    std::string text;
    std::string caption;
    BoxButtons buttons;
  };

  // Answers for the next boxes, in order; kOk (or kYes for a question) after that.
  std::deque<BoxAnswer> answers;
  // Press Cancel (on the user-interface thread, as a user would) the
  // `cancelOnStatusCount`-th time the status line shows `cancelOnStatus`.
  std::string cancelOnStatus;
  int cancelOnStatusCount = 1;
  // Keep every question open, while the session's events go on, until the
  // worker has finished; then answer it.
  bool holdQuestionsUntilFinished = false;

  std::string title;
  std::vector<std::string> statuses;
  std::vector<int> ranges;
  std::vector<int> positions;
  std::vector<Box> boxes;

  // The dialog being run (null between runs).
  TransferDialog* CurrentDialog() const { return Dialog(); }

  std::string LastStatus() const { return statuses.empty() ? "" : statuses.back(); }
  bool SawStatus(const std::string& s) const {
    for (const auto& x : statuses)
      if (x == s) return true;
    return false;
  }

 protected:
  void OnTitle(std::string_view t) override { title = t; }
  void OnStatus(std::string_view text) override {
    statuses.emplace_back(text);
    if (!cancelOnStatus.empty() && text == cancelOnStatus && --cancelOnStatusCount == 0) {
      cancelOnStatus.clear();
      Dialog()->OnCancel();
    }
  }
  // A session that no longer moves (no event for ten seconds of real
  // time; every test runs in virtual time) is a fault: report it and end
  // the window rather than hang the test program.
  void OnIdle() override {
    if (++idlePeriods_ < 200) return;
    ADD_FAILURE() << "the session never ended; last status: " << LastStatus();
    EndDialog();
  }
  void OnProgressRange(int upper) override { ranges.push_back(upper); }
  void OnProgressPos(int position) override { positions.push_back(position); }
  BoxAnswer OnMessage(std::string_view text, std::string_view caption,
                      BoxButtons buttons) override {
    boxes.push_back({std::string(text), std::string(caption), buttons});
    if (holdQuestionsUntilFinished && buttons == BoxButtons::kYesNo)
      PumpUntil([this] { return Dialog()->State() == TS_FINISHED; });
    if (!answers.empty()) {
      const BoxAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == BoxButtons::kYesNo ? BoxAnswer::kYes : BoxAnswer::kOk;
  }

 private:
  int idlePeriods_ = 0;
};

}  // namespace tavlink::testing
