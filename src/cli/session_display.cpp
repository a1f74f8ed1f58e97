#include "cli/session_display.h"

#include <cstdio>
#include <string>

#include "cli/progress_meter.h"
#include "cli/terminal.h"

namespace tavlink::cli {

void TerminalDisplay::Progress(std::string_view status, int position, int upper, int,
                               std::chrono::seconds elapsed) {
  if (!live_) {
    if (status.empty() || status == shown_) return;  // progress alone shows nothing here
    shown_ = status;
    Note(status);
    return;
  }
  const std::string line = FormatProgressMeter(status, position, upper, elapsed,
                                               TimeLeft(position, upper, elapsed), StderrColumns());
  RewindMeter();
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  open_ = true;
}

void TerminalDisplay::Tick(std::string_view status, int position, int upper, int errors,
                           std::chrono::seconds elapsed) {
  if (open_) Progress(status, position, upper, errors, elapsed);
}

void TerminalDisplay::Note(std::string_view text) {
  End();
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(stderr);
}

void TerminalDisplay::End() {
  if (!open_) return;
  std::fputc('\n', stderr);
  std::fflush(stderr);
  open_ = false;
}

void StandardOutput::Result(std::string_view line) {
  display_.End();
  std::fprintf(stdout, "%.*s\n", static_cast<int>(line.size()), line.data());
  std::fflush(stdout);
}

}  // namespace tavlink::cli
