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

bool IsYes(const std::string& answer) {
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void Write(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
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

class ConsoleQuestion final : public TerminalQuestion {
 public:
  // Takes the console's handles.
  ConsoleQuestion(HANDLE in, HANDLE out, std::string_view question) : in_(in), out_(out) {
    Show(out_, std::string(question) + " [y/N] ");
  }
  ~ConsoleQuestion() override {
    ::CloseHandle(in_);
    ::CloseHandle(out_);
  }
  ConsoleQuestion(const ConsoleQuestion&) = delete;
  ConsoleQuestion& operator=(const ConsoleQuestion&) = delete;

  std::optional<bool> Poll() override {
    // Key events are read only when there are some, so this never waits; the
    // answer is put together here, as the console would in line mode.
    while (!answered_) {
      // Asking whether input waits, without waiting, lets the console take
      // in what was typed (Wine's reads its terminal only then).
      ::WaitForSingleObject(in_, 0);
      DWORD pending = 0;
      if (!::GetNumberOfConsoleInputEvents(in_, &pending)) break;
      if (pending == 0) return std::nullopt;
      INPUT_RECORD records[16];
      DWORD got = 0;
      if (!::ReadConsoleInputA(in_, records, std::min<DWORD>(pending, 16), &got)) break;
      for (DWORD i = 0; i < got && !answered_; ++i) {
        const INPUT_RECORD& record = records[i];
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
        const char c = record.Event.KeyEvent.uChar.AsciiChar;
        for (WORD n = 0; n < record.Event.KeyEvent.wRepeatCount && !answered_; ++n) Key(c);
      }
    }
    if (!answered_) {  // the console went away: no
      answered_ = true;
      yes_ = false;
    }
    return yes_;
  }

  void Abandon() override {
    if (answered_) return;
    Show(out_, "\r\n");
    answered_ = true;
  }

 private:
  // Takes one key press: the answer so far, shown as it is typed, ends with
  // Enter.
  void Key(char c) {
    if (c == '\r' || c == '\n') {
      Show(out_, "\r\n");
      answered_ = true;
      yes_ = IsYes(typed_);
    } else if (c == '\b') {
      if (typed_.empty()) return;
      typed_.pop_back();
      Show(out_, "\b \b");
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      typed_ += c;
      Show(out_, std::string_view(&c, 1));
    }
  }

  HANDLE in_;
  HANDLE out_;
  std::string typed_;
  bool answered_ = false;
  bool yes_ = false;
};

class ConsoleTerminal final : public Terminal {
 public:
  void Out(std::string_view text) override { Write(stdout, text); }
  void Err(std::string_view text) override { Write(stderr, text); }

  bool ErrIsTerminal() override { return IsConsole(STD_ERROR_HANDLE); }

  int ErrColumns() override {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
  }

  bool ErrTakesEscapes() override { return ErrIsTerminal() && OutputTakesEscapes(); }

  void EraseMeter() override {
    if (OutputTakesEscapes()) {
      Write(stderr, "\r\033[K");
      return;
    }
    // An older console: blank the cursor's row with the console's calls and
    // start again at its left edge.
    std::fflush(stderr);
    const HANDLE out = ::GetStdHandle(STD_ERROR_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(out, &info)) {
      Write(stderr, "\r");
      return;
    }
    const COORD start{0, info.dwCursorPosition.Y};
    DWORD blanked = 0;
    ::FillConsoleOutputCharacterA(out, ' ', static_cast<DWORD>(info.dwSize.X), start, &blanked);
    ::SetConsoleCursorPosition(out, start);
  }

  bool CanAsk() override {
    const HANDLE in = OpenConsole("CONIN$");
    if (in == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(in);
    return true;
  }

  std::optional<bool> AskAndWait(std::string_view question) override {
    const HANDLE in = OpenConsole("CONIN$");
    if (in == INVALID_HANDLE_VALUE) return std::nullopt;
    const HANDLE out = OpenConsole("CONOUT$");
    if (out == INVALID_HANDLE_VALUE) {
      ::CloseHandle(in);
      return std::nullopt;
    }
    Show(out, std::string(question) + " [y/N] ");
    // A whole answer, typed and shown as usual; Ctrl-C stays an interrupt.
    DWORD saved = 0;
    const bool modeKnown = ::GetConsoleMode(in, &saved) != 0;
    ::SetConsoleMode(in, ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
    std::string answer;
    char chunk[64];
    DWORD got = 0;
    while (answer.find('\n') == std::string::npos &&
           ::ReadConsoleA(in, chunk, sizeof chunk, &got, nullptr) && got > 0)
      answer.append(chunk, got);
    if (modeKnown) ::SetConsoleMode(in, saved);
    ::CloseHandle(out);
    ::CloseHandle(in);
    return IsYes(answer);
  }

  std::unique_ptr<TerminalQuestion> Ask(std::string_view question) override {
    const HANDLE in = OpenConsole("CONIN$");
    if (in == INVALID_HANDLE_VALUE) return nullptr;
    const HANDLE out = OpenConsole("CONOUT$");
    if (out == INVALID_HANDLE_VALUE) {
      ::CloseHandle(in);
      return nullptr;
    }
    return std::make_unique<ConsoleQuestion>(in, out, question);
  }
};

}  // namespace

Terminal& SystemTerminal() {
  static ConsoleTerminal terminal;
  return terminal;
}

}  // namespace tavlink::cli
