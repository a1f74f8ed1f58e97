#pragma once
// Runs build/bin/tavlink-cli as a child process and collects its exit
// status and output, for tests of the command line as a user meets it.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/file_bytes.h"
#include "support/paths.h"

namespace tavlink::testing {

struct CliResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

inline std::filesystem::path CliProgramPath() {
  return BinDir() / "tavlink-cli";
}

// Environment variables set for the child: {"NAME", "value"}.
using Environment = std::vector<std::pair<std::string, std::string>>;

// A running tavlink-cli; its output goes to files in `workDir`.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& args, const std::filesystem::path& workDir,
             const Environment& environment = {})
      : outPath_(workDir / "cli.out"), errPath_(workDir / "cli.err") {
    const std::string program = CliProgramPath().string();
    pid_ = ::fork();
    if (pid_ == 0) {
      const int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int in = ::open("/dev/null", O_RDONLY);
      ::dup2(in, 0);
      ::dup2(out, 1);
      ::dup2(err, 2);
      ::setsid();  // no controlling terminal: questions are not asked
      for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
  }
  ~CliProcess() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // Does nothing when the child could not be started (no process id).
  void Signal(int sig) {
    if (pid_ > 0 && !reaped_) ::kill(pid_, sig);
  }
  std::string OutSoFar() const { return ReadBytes(outPath_); }
  std::string ErrSoFar() const { return ReadBytes(errPath_); }

  // The exit status (the same on a later call) and output; status -1 when
  // the child could not be started.
  CliResult Wait() {
    if (pid_ > 0 && !reaped_) {
      int raw = 0;
      ::waitpid(pid_, &raw, 0);
      reaped_ = true;
      status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    CliResult r;
    r.status = status_;
    r.out = ReadBytes(outPath_);
    r.err = ReadBytes(errPath_);
    return r;
  }

 private:
  std::filesystem::path outPath_, errPath_;
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = -1;
};

inline CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& workDir,
                        const Environment& environment = {}) {
  return CliProcess(args, workDir, environment).Wait();
}

}  // namespace tavlink::testing
