// The terminal on POSIX: the standard streams through stdio, isatty(3),
// and questions on /dev/tty, the user's terminal even when standard input
// and output are redirected.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

class PosixQuestion final : public TerminalQuestion {
 public:
  // Takes `fd`, the terminal opened without blocking.
  PosixQuestion(int fd, std::string_view question) : fd_(fd) {
    const std::string prompt = std::string(question) + " [y/N] ";
    (void)!::write(fd_, prompt.data(), prompt.size());
  }
  ~PosixQuestion() override { ::close(fd_); }
  PosixQuestion(const PosixQuestion&) = delete;
  PosixQuestion& operator=(const PosixQuestion&) = delete;

  std::optional<bool> Poll() override {
    if (answered_) return yes_;
    char chunk[64];
    for (;;) {
      const ssize_t n = ::read(fd_, chunk, sizeof chunk);
      if (n > 0) {
        typed_.append(chunk, static_cast<size_t>(n));
        const size_t end = typed_.find('\n');
        if (end != std::string::npos) {
          answered_ = true;
          yes_ = IsYes(typed_.substr(0, end));
          return yes_;
        }
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return std::nullopt;
      answered_ = true;  // the terminal went away: no
      return false;
    }
  }

  void Abandon() override {
    if (answered_) return;
    (void)!::write(fd_, "\n", 1);
    answered_ = true;
  }

 private:
  int fd_;
  std::string typed_;
  bool answered_ = false;
  bool yes_ = false;
};

class PosixTerminal final : public Terminal {
 public:
  void Out(std::string_view text) override { Write(stdout, text); }
  void Err(std::string_view text) override { Write(stderr, text); }

  bool ErrIsTerminal() override { return ::isatty(STDERR_FILENO) != 0; }

  int ErrColumns() override {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
  }

  bool ErrTakesEscapes() override { return ErrIsTerminal(); }

  void EraseMeter() override { Write(stderr, "\r\033[K"); }

  bool CanAsk() override {
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
  }

  std::optional<bool> AskAndWait(std::string_view question) override {
    std::FILE* tty = std::fopen("/dev/tty", "r+e");
    if (tty == nullptr) return std::nullopt;
    std::fprintf(tty, "%.*s [y/N] ", static_cast<int>(question.size()), question.data());
    std::fflush(tty);
    char answer[64] = {};
    const bool yes = std::fgets(answer, sizeof answer, tty) != nullptr && IsYes(answer);
    std::fclose(tty);
    return yes;
  }

  std::unique_ptr<TerminalQuestion> Ask(std::string_view question) override {
    const int fd = ::open("/dev/tty", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixQuestion>(fd, question);
  }
};

}  // namespace

Terminal& SystemTerminal() {
  static PosixTerminal terminal;
  return terminal;
}

}  // namespace tavlink::cli
