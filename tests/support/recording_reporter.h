#pragma once
// An ErrorReporter that records each device error box instead of showing it.

#include <mutex>
#include <string>
#include <vector>

#include "link/error_reporter.h"

namespace tavlink::testing {

class RecordingReporter final : public ErrorReporter {
 public:
  struct Box {
    std::string caption;
    std::string text;
  };

  void ShowError(std::string_view caption, std::string_view text) override {
    std::lock_guard lock(mutex_);
    boxes_.push_back({std::string(caption), std::string(text)});
  }

  std::vector<Box> Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Box> boxes_;
};

}  // namespace tavlink::testing
