#pragma once
// Where a command-line session shows itself, and where a command puts its
// results and messages. A run on its own shows on standard error, with a
// progress meter on a terminal (TerminalDisplay, StandardOutput); a run among
// many of a station shows in its row of a shared board (station_board.h).
//
// Threading: a session calls its display on its own user-interface thread;
// a command calls its output on the thread that runs it.

#include <chrono>
#include <string>
#include <string_view>

#include "cli/terminal.h"

namespace tavlink::cli {

class SessionDisplay {
 public:
  virtual ~SessionDisplay() = default;

  // The session's status and progress now (`upper` 0: no range known), and
  // the count of bad frames its status line shows.
  virtual void Progress(std::string_view status, int position, int upper, int errors,
                        std::chrono::seconds elapsed) = 0;
  // About once a second while the session runs, with the same, for a live
  // display's clocks.
  virtual void Tick(std::string_view status, int position, int upper, int errors,
                    std::chrono::seconds elapsed) = 0;
  // A note on a line of its own: a title, a box, a hint.
  virtual void Note(std::string_view text) = 0;
  // The session is over: what follows starts a line of its own.
  virtual void End() = 0;
  // Whether the progress is drawn in place (on a terminal), rather than a
  // line per status.
  virtual bool Live() const = 0;
};

// A command's results (standard output) and messages (standard error).
class RunOutput {
 public:
  virtual ~RunOutput() = default;
  virtual void Result(std::string_view text) = 0;
  virtual void Message(std::string_view text) = 0;
  // The display of the command's sessions.
  virtual SessionDisplay& Display() = 0;
};

// One run on its own: on a terminal (`live`) the progress is a meter that
// fits the terminal and is redrawn in place (progress_meter.h); otherwise one
// line per status.
class TerminalDisplay final : public SessionDisplay {
 public:
  // `terminal` must outlive the display.
  TerminalDisplay(Terminal& terminal, bool live) : terminal_(terminal), live_(live) {}
  ~TerminalDisplay() override { End(); }
  void Progress(std::string_view status, int position, int upper, int errors,
                std::chrono::seconds elapsed) override;
  void Tick(std::string_view status, int position, int upper, int errors,
            std::chrono::seconds elapsed) override;
  void Note(std::string_view text) override;
  void End() override;
  bool Live() const override { return live_; }

 private:
  Terminal& terminal_;
  bool live_;
  void EndMeterLine();

  bool open_ = false;     // the meter is on the screen, without its line end
  bool ticking_ = false;  // ticks draw the meter again: from a Progress to End
  std::string shown_;  // the status shown last (one line per change)
};

// The output of a run on its own: results on standard output, messages
// through the display.
class StandardOutput final : public RunOutput {
 public:
  // `terminal` must outlive the output.
  StandardOutput(Terminal& terminal, bool live) : terminal_(terminal), display_(terminal, live) {}
  void Result(std::string_view text) override;
  void Message(std::string_view text) override { display_.Note(text); }
  SessionDisplay& Display() override { return display_; }

 private:
  Terminal& terminal_;
  TerminalDisplay display_;
};

}  // namespace tavlink::cli
