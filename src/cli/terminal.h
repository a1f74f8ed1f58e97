#pragma once
// What tavlink-cli needs of the terminal it runs on: the standard streams
// it writes, whether standard error shows on a terminal (and how wide it is,
// and whether it takes the escapes that move the cursor), and questions
// asked on the user's own terminal (the controlling terminal, also when the
// standard streams are redirected), answered with "y" or anything else for
// No. The system's is SystemTerminal (terminal_posix.cpp,
// terminal_win32.cpp).
//
// Threading: any thread; each write reaches its stream whole and flushed.

#include <memory>
#include <optional>
#include <string_view>

namespace tavlink::cli {

// A question on the user's terminal whose answer is collected without
// waiting, so that a transfer goes on while the user thinks. Ending it (the
// destructor) leaves the terminal as it was.
class TerminalQuestion {
 public:
  virtual ~TerminalQuestion() = default;
  // The answer once a whole line has been typed; nothing until then. A
  // terminal that went away answers No.
  virtual std::optional<bool> Poll() = 0;
  // Ends the question unanswered (the prompt's line is closed).
  virtual void Abandon() = 0;
};

class Terminal {
 public:
  virtual ~Terminal() = default;

  // --- the standard streams --------------------------------------------------
  virtual void Out(std::string_view text) = 0;  // standard output: results
  virtual void Err(std::string_view text) = 0;  // standard error: everything else

  // --- standard error's terminal ---------------------------------------------
  virtual bool ErrIsTerminal() = 0;
  // Its width now (it follows a resize); 0 when it is not a terminal.
  virtual int ErrColumns() = 0;
  // Whether it takes the escape sequences that move the cursor up and clear
  // the screen below it, which a live table needs.
  virtual bool ErrTakesEscapes() = 0;
  // Goes back to the start of the progress meter that standard error shows
  // and clears its line, so that what is written next replaces it.
  virtual void EraseMeter() = 0;

  // --- the user's terminal ---------------------------------------------------
  // Whether there is one to ask on, whatever standard input is.
  virtual bool CanAsk() = 0;
  // Asks `question` ("... [y/N]") and waits for the answer; nothing when
  // there is no terminal to ask on.
  virtual std::optional<bool> AskAndWait(std::string_view question) = 0;
  // Shows `question` and returns at once; null when there is no terminal.
  virtual std::unique_ptr<TerminalQuestion> Ask(std::string_view question) = 0;
};

// This process's terminal and standard streams.
Terminal& SystemTerminal();

}  // namespace tavlink::cli
