#pragma once
// What tavlink-cli needs of the terminal it runs on: whether its streams
// are terminals, and questions asked on the user's terminal, answered with
// "y" or anything else for No.

#include <memory>
#include <optional>
#include <string_view>

namespace tavlink::cli {

bool StdinIsTerminal();
bool StderrIsTerminal();

// The width of the terminal that standard error shows on, now (it follows
// a resize); 0 when it is not a terminal.
int StderrColumns();

// Goes back to the start of the progress meter that standard error (a
// terminal) shows and clears its line, so that what is printed next replaces it.
void RewindMeter();

// Whether standard error's terminal takes the escape sequences that move
// the cursor up and clear the screen below it, which a live table needs.
bool StderrTakesEscapes();

// Asks `question` ("... [y/N]") on the user's terminal and waits for the
// answer; nothing when there is no terminal to ask on.
std::optional<bool> AskOnTerminal(std::string_view question);

// A question on the user's terminal whose answer is collected without
// waiting, so that a transfer goes on while the user thinks.
class TerminalQuestion {
 public:
  // Shows the question; ok() is false when there is no terminal.
  explicit TerminalQuestion(std::string_view question);
  ~TerminalQuestion();
  TerminalQuestion(const TerminalQuestion&) = delete;
  TerminalQuestion& operator=(const TerminalQuestion&) = delete;

  bool ok() const;
  // The answer once a whole line has been typed; nothing until then.
  std::optional<bool> Poll();
  // Ends the question unanswered (the prompt's line is closed).
  void Abandon();

 private:
  struct State;  // the platform's handle on the terminal
  std::unique_ptr<State> state_;
};

}  // namespace tavlink::cli
