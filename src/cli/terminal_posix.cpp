// The terminal on POSIX: isatty(3), and questions on /dev/tty, the user's
// terminal even when standard input and output are redirected.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "cli/terminal.h"

namespace tavlink::cli {
namespace {

bool IsYes(const std::string& line) {
  return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}

}  // namespace

bool StdinIsTerminal() {
  return ::isatty(STDIN_FILENO) != 0;
}

bool StderrIsTerminal() {
  return ::isatty(STDERR_FILENO) != 0;
}

int StderrColumns() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

void RewindMeter() {
  std::fputs("\r\033[K", stderr);
}

bool StderrTakesEscapes() {
  return StderrIsTerminal();
}

std::optional<bool> AskOnTerminal(std::string_view question) {
  std::FILE* tty = std::fopen("/dev/tty", "r+e");
  if (tty == nullptr) return std::nullopt;
  std::fprintf(tty, "%.*s [y/N] ", static_cast<int>(question.size()), question.data());
  std::fflush(tty);
  char line[64] = {};
  const bool yes = std::fgets(line, sizeof line, tty) != nullptr && IsYes(line);
  std::fclose(tty);
  return yes;
}

struct TerminalQuestion::State {
  int fd = -1;
  std::string typed;
  bool answered = false;
  bool yes = false;
};

TerminalQuestion::TerminalQuestion(std::string_view question) : state_(std::make_unique<State>()) {
  state_->fd = ::open("/dev/tty", O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (state_->fd < 0) return;
  const std::string prompt = std::string(question) + " [y/N] ";
  (void)!::write(state_->fd, prompt.data(), prompt.size());
}

TerminalQuestion::~TerminalQuestion() {
  if (state_->fd >= 0) ::close(state_->fd);
}

bool TerminalQuestion::ok() const {
  return state_->fd >= 0;
}

std::optional<bool> TerminalQuestion::Poll() {
  if (state_->fd < 0) return false;
  if (state_->answered) return state_->yes;
  char chunk[64];
  for (;;) {
    const ssize_t n = ::read(state_->fd, chunk, sizeof chunk);
    if (n > 0) {
      state_->typed.append(chunk, static_cast<size_t>(n));
      const size_t end = state_->typed.find('\n');
      if (end != std::string::npos) {
        state_->answered = true;
        state_->yes = IsYes(state_->typed.substr(0, end));
        return state_->yes;
      }
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return std::nullopt;
    state_->answered = true;  // the terminal went away: no
    return false;
  }
}

void TerminalQuestion::Abandon() {
  if (state_->fd < 0 || state_->answered) return;
  (void)!::write(state_->fd, "\n", 1);
  state_->answered = true;
}

}  // namespace tavlink::cli
