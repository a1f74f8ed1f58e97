#include "cli/session_display.h"

#include <string>

#include "cli/progress_meter.h"

namespace tavlink::cli {

void TerminalDisplay::Progress(std::string_view status, int position, int upper, int,
                               std::chrono::seconds elapsed) {
  if (!live_) {
    if (status.empty() || status == shown_) return;  // progress alone shows nothing here
    shown_ = status;
    Note(status);
    return;
  }
  const std::string meter = FormatProgressMeter(
      status, position, upper, elapsed, TimeLeft(position, upper, elapsed), terminal_.ErrColumns());
  terminal_.EraseMeter();
  terminal_.Err(meter);
  open_ = true;
  ticking_ = true;
}

void TerminalDisplay::Tick(std::string_view status, int position, int upper, int errors,
                           std::chrono::seconds elapsed) {
  // After a note the meter comes back below it; after End (a question, the
  // session's end) only with the next progress.
  if (ticking_) Progress(status, position, upper, errors, elapsed);
}

void TerminalDisplay::Note(std::string_view text) {
  EndMeterLine();
  terminal_.Err(std::string(text) + "\n");
}

void TerminalDisplay::End() {
  EndMeterLine();
  ticking_ = false;
}

void TerminalDisplay::EndMeterLine() {
  if (!open_) return;
  terminal_.Err("\n");
  open_ = false;
}

void StandardOutput::Result(std::string_view text) {
  display_.End();
  terminal_.Out(std::string(text) + "\n");
}

}  // namespace tavlink::cli
