#pragma once
// Runs tavlink-cli on a pseudo-terminal of its own, as a technician's
// terminal would: its standard streams and its controlling terminal are the
// slave; the test reads what it shows and types on the master.
//
//   TerminalProcess cli({"--device", dev, "upgrade", "rom.bin"}, 40);
//   cli.WaitFor("block 1/");  cli.Type("n\n");  const int status = cli.Wait();

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "support/cli_process.h"

namespace tavlink::testing {

class TerminalProcess {
 public:
  // Where standard input comes from: the terminal, or /dev/null (a script's
  // redirection, while the terminal stays the controlling one).
  enum class Input { kTerminal, kNull };

  // Starts tavlink-cli with `args` on a terminal `columns` wide, in `workDir`.
  TerminalProcess(const std::vector<std::string>& args, unsigned short columns,
                  const std::filesystem::path& workDir, const Environment& environment = {},
                  Input input = Input::kTerminal) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = columns;
    const std::string program = CliProgramPath().string();
    pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      if (::chdir(workDir.c_str()) != 0) ::_exit(126);
      if (input == Input::kNull) {
        const int null = ::open("/dev/null", O_RDONLY);
        if (null < 0 || ::dup2(null, STDIN_FILENO) < 0) ::_exit(126);
        ::close(null);
      }
      for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    if (master_ >= 0) ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~TerminalProcess() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  TerminalProcess(const TerminalProcess&) = delete;
  TerminalProcess& operator=(const TerminalProcess&) = delete;

  // Everything the program has shown so far (raw: with CR and escapes).
  const std::string& Shown() {
    Drain(0);
    return shown_;
  }

  // Waits until `text` has been shown after `from` (an offset in Shown());
  // false after `limit`.
  bool WaitFor(const std::string& text, size_t from = 0,
               std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (shown_.find(text, from) == std::string::npos) {
      if (std::chrono::steady_clock::now() > end) return false;
      Drain(50);
    }
    return true;
  }

  void Type(const std::string& keys) { (void)!::write(master_, keys.data(), keys.size()); }
  // Does nothing when the program could not be started (no process id).
  void Signal(int sig) {
    if (pid_ > 0 && !reaped_) ::kill(pid_, sig);
  }
  void Resize(unsigned short columns) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = columns;
    ::ioctl(master_, TIOCSWINSZ, &size);
  }

  // Waits for the program to end (reading what it still shows) and
  // returns its exit status, or 128 + signal (the same on a later call);
  // -1 when it could not be started.
  int Wait() {
    if (pid_ <= 0 || reaped_) return status_;
    int raw = 0;
    while (::waitpid(pid_, &raw, WNOHANG) == 0) Drain(50);
    reaped_ = true;
    Drain(0);
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
  }

 private:
  void Drain(int waitMs) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0) return;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(master_, chunk, sizeof chunk)) > 0)
      shown_.append(chunk, static_cast<size_t>(n));
  }

  pid_t pid_ = -1;
  int master_ = -1;
  bool reaped_ = false;
  int status_ = -1;
  std::string shown_;
};

}  // namespace tavlink::testing
