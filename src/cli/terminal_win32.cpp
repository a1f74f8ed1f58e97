// The terminal on Windows: the console. Standard streams are terminals when
// they are console handles; questions are asked on CONIN$ and CONOUT$, the
// user's console even when the standard streams are redirected. The
// progress meter uses escape sequences where the console takes them (Windows
// 10 and later) and the console's own calls where it does not.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/terminal.h"

namespace tavlink::cli {
namespace {

bool IsYes(const std::string& line) {
  return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}

bool IsConsole(DWORD stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(stream), &mode) != 0;
}

HANDLE OpenConsole(const char* name) {
  return ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

void Show(HANDLE console, std::string_view text) {
  DWORD written = 0;
  ::WriteFile(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The console modes of standard error before escape sequences were turned
// on, given back when the program ends normally.
DWORD savedOutputMode = 0;

void RestoreOutputMode() {
  ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), savedOutputMode);
}

// Whether the console obeys the escape sequence that clears the rest of
// the line: one that only claims to (Wine's) prints it, which moves the
// cursor; what it printed is blanked again then.
bool ObeysEscapes(HANDLE out) {
  std::fflush(stderr);
  CONSOLE_SCREEN_BUFFER_INFO before{}, after{};
  if (!::GetConsoleScreenBufferInfo(out, &before)) return false;
  DWORD written = 0;
  ::WriteConsoleA(out, "\033[K", 3, &written, nullptr);
  if (!::GetConsoleScreenBufferInfo(out, &after)) return false;
  if (after.dwCursorPosition.X == before.dwCursorPosition.X &&
      after.dwCursorPosition.Y == before.dwCursorPosition.Y)
    return true;
  ::FillConsoleOutputCharacterA(out, ' ', written, before.dwCursorPosition, &written);
  ::SetConsoleCursorPosition(out, before.dwCursorPosition);
  return false;
}

// Turns on escape sequences for standard error once; whether it has them.
bool OutputTakesEscapes() {
  static const bool takes = [] {
    const HANDLE out = ::GetStdHandle(STD_ERROR_HANDLE);
    if (!::GetConsoleMode(out, &savedOutputMode)) return false;
    if (!::SetConsoleMode(out, savedOutputMode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return false;
    if (!ObeysEscapes(out)) {
      RestoreOutputMode();
      return false;
    }
    std::atexit(RestoreOutputMode);
    return true;
  }();
  return takes;
}

}  // namespace

bool StdinIsTerminal() {
  return IsConsole(STD_INPUT_HANDLE);
}

bool StderrIsTerminal() {
  return IsConsole(STD_ERROR_HANDLE);
}

int StderrColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

bool StderrTakesEscapes() {
  return StderrIsTerminal() && OutputTakesEscapes();
}

void RewindMeter() {
  if (OutputTakesEscapes()) {
    std::fputs("\r\033[K", stderr);
    return;
  }
  // An older console: blank the cursor's row with the console's calls and
  // start again at its left edge.
  std::fflush(stderr);
  const HANDLE out = ::GetStdHandle(STD_ERROR_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(out, &info)) {
    std::fputs("\r", stderr);
    return;
  }
  const COORD start{0, info.dwCursorPosition.Y};
  DWORD blanked = 0;
  ::FillConsoleOutputCharacterA(out, ' ', static_cast<DWORD>(info.dwSize.X), start, &blanked);
  ::SetConsoleCursorPosition(out, start);
}

std::optional<bool> AskOnTerminal(std::string_view question) {
  const HANDLE in = OpenConsole("CONIN$");
  if (in == INVALID_HANDLE_VALUE) return std::nullopt;
  const HANDLE out = OpenConsole("CONOUT$");
  if (out == INVALID_HANDLE_VALUE) {
    ::CloseHandle(in);
    return std::nullopt;
  }
  Show(out, std::string(question) + " [y/N] ");
  // A whole line, typed and shown as usual; Ctrl-C stays an interrupt.
  DWORD saved = 0;
  const bool modeKnown = ::GetConsoleMode(in, &saved) != 0;
  ::SetConsoleMode(in, ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
  std::string line;
  char chunk[64];
  DWORD got = 0;
  while (line.find('\n') == std::string::npos &&
         ::ReadConsoleA(in, chunk, sizeof chunk, &got, nullptr) && got > 0)
    line.append(chunk, got);
  if (modeKnown) ::SetConsoleMode(in, saved);
  ::CloseHandle(out);
  ::CloseHandle(in);
  return IsYes(line);
}

struct TerminalQuestion::State {
  HANDLE in = INVALID_HANDLE_VALUE;
  HANDLE out = INVALID_HANDLE_VALUE;
  std::string typed;
  bool answered = false;
  bool yes = false;

  ~State() {
    if (in != INVALID_HANDLE_VALUE) ::CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
  }

  // Takes one key press: the line so far, shown as it is typed, ends with
  // Enter.
  void Key(char c) {
    if (c == '\r' || c == '\n') {
      Show(out, "\r\n");
      answered = true;
      yes = IsYes(typed);
    } else if (c == '\b') {
      if (typed.empty()) return;
      typed.pop_back();
      Show(out, "\b \b");
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      typed += c;
      Show(out, std::string_view(&c, 1));
    }
  }
};

TerminalQuestion::TerminalQuestion(std::string_view question) : state_(std::make_unique<State>()) {
  state_->in = OpenConsole("CONIN$");
  state_->out = OpenConsole("CONOUT$");
  if (!ok()) return;
  Show(state_->out, std::string(question) + " [y/N] ");
}

TerminalQuestion::~TerminalQuestion() = default;

bool TerminalQuestion::ok() const {
  return state_->in != INVALID_HANDLE_VALUE && state_->out != INVALID_HANDLE_VALUE;
}

std::optional<bool> TerminalQuestion::Poll() {
  if (!ok()) return false;
  // Key events are read only when there are some, so this never waits; the
  // line is put together here, as the console would in line mode.
  while (!state_->answered) {
    // Asking whether input waits, without waiting, lets the console take
    // in what was typed (Wine's reads its terminal only then).
    ::WaitForSingleObject(state_->in, 0);
    DWORD pending = 0;
    if (!::GetNumberOfConsoleInputEvents(state_->in, &pending)) break;
    if (pending == 0) return std::nullopt;
    INPUT_RECORD records[16];
    DWORD got = 0;
    if (!::ReadConsoleInputA(state_->in, records, std::min<DWORD>(pending, 16), &got)) break;
    for (DWORD i = 0; i < got && !state_->answered; ++i) {
      const INPUT_RECORD& record = records[i];
      if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
      const char c = record.Event.KeyEvent.uChar.AsciiChar;
      for (WORD n = 0; n < record.Event.KeyEvent.wRepeatCount && !state_->answered; ++n)
        state_->Key(c);
    }
  }
  if (!state_->answered) {  // the console went away: no
    state_->answered = true;
    state_->yes = false;
  }
  return state_->yes;
}

void TerminalQuestion::Abandon() {
  if (!ok() || state_->answered) return;
  Show(state_->out, "\r\n");
  state_->answered = true;
}

}  // namespace tavlink::cli
