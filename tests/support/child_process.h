#pragma once
// A program run by a Linux test, with its standard output and standard
// error collected while it runs, for programs that may hand their streams
// on to helpers that outlive them (Wine's server): the end of a program is
// its exit, not the end of its output.
//
//   ChildProcess child({"wine", "probe.exe", "bytes", "5"});
//   ... child.OutSoFar() ...; const int status = child.Wait();
//
// The destructor kills a child that is still running and reaps it.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "support/wait_or_kill.h"

namespace tavlink::testing {

class ChildProcess {
 public:
  // Runs `argv` (looked up on PATH) with `environment` added ({"NAME",
  // "value"}), in `workDir` when given, standard input from /dev/null.
  explicit ChildProcess(const std::vector<std::string>& argv,
                        const std::vector<std::pair<std::string, std::string>>& environment = {},
                        const std::string& workDir = {}) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    if (::pipe2(err, O_CLOEXEC) != 0) {
      ::close(out[0]);
      ::close(out[1]);
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      const int in = ::open("/dev/null", O_RDONLY);
      ::dup2(in, STDIN_FILENO);
      ::dup2(out[1], STDOUT_FILENO);
      ::dup2(err[1], STDERR_FILENO);
      if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(126);
      for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
      std::vector<char*> args;
      for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execvp(args[0], args.data());
      ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    ::fcntl(out_, F_SETFL, ::fcntl(out_, F_GETFL) | O_NONBLOCK);
    ::fcntl(err_, F_SETFL, ::fcntl(err_, F_GETFL) | O_NONBLOCK);
  }
  ~ChildProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Signal(int sig) const {
    if (pid_ > 0) ::kill(pid_, sig);
  }

  // The exit status (128 + signal for a child ended by one), or -1 when the
  // child did not end within `limit` (it is killed then).
  int Wait(std::chrono::seconds limit) {
    if (pid_ <= 0) return -1;
    const ChildEnding ending = WaitOrKill(pid_, limit, [this] { Collect(50); });
    pid_ = -1;
    if (!ending.inTime) return -1;
    Collect(0);
    return WIFEXITED(ending.status) ? WEXITSTATUS(ending.status) : 128 + WTERMSIG(ending.status);
  }

  // Waits until standard output holds `text`, at most `limit`; false when
  // it did not come or the child ended first.
  bool WaitForOutput(const std::string& text, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (output_.find(text) == std::string::npos) {
      if (pid_ <= 0 || std::chrono::steady_clock::now() > end) return false;
      Collect(50);
    }
    return true;
  }

  // The same for standard error.
  bool WaitForErrors(const std::string& text, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (errors_.find(text) == std::string::npos) {
      if (pid_ <= 0 || std::chrono::steady_clock::now() > end) return false;
      Collect(50);
    }
    return true;
  }

  // What the child wrote so far (all of it once Wait returned).
  const std::string& Output() {
    Collect(0);
    return output_;
  }
  const std::string& Errors() {
    Collect(0);
    return errors_;
  }

 private:
  // Reads what has come, waiting up to `waitMs` for the first of it; a
  // stream at its end is closed.
  void Collect(int waitMs) {
    for (;;) {
      pollfd p[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
      if (::poll(p, 2, waitMs) <= 0) return;
      waitMs = 0;
      for (auto [fd, text] : {std::pair{&out_, &output_}, std::pair{&err_, &errors_}}) {
        if (*fd < 0) continue;
        char chunk[4096];
        const ssize_t n = ::read(*fd, chunk, sizeof chunk);
        if (n > 0) {
          text->append(chunk, static_cast<size_t>(n));
        } else if (n == 0) {
          ::close(*fd);
          *fd = -1;
        }
      }
      if (out_ < 0 && err_ < 0) return;
    }
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string output_;
  std::string errors_;
};

}  // namespace tavlink::testing
