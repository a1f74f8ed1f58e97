#pragma once
// The serial device's error box for the desktop tool: caption "Serial
// Communication Device Error", information icon, OK. Thread-safe: from the
// worker it blocks until the user-interface thread has shown and closed it.

#include "link/error_reporter.h"

namespace tavlink::app {

class QtErrorReporter final : public ErrorReporter {
 public:
  void ShowError(std::string_view caption, std::string_view text) override;
};

}  // namespace tavlink::app
