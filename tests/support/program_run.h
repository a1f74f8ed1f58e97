#pragma once
// Runs a program to its end and collects its exit status and output, for
// tests of what the programs print (--help, --version) and of the scripts
// that run them (the shell completion).
//
//   ProgramResult r = RunProgram({"/path/tavlink", "--version"}, {{"DISPLAY", std::nullopt}});
//
// Standard input is /dev/null; the output goes through files of a temporary
// folder. A program still running after `limit` is killed (status 128 + 9).

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_folder.h"
#include "support/wait_or_kill.h"

namespace tavlink::testing {

struct ProgramResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

// Environment changes for the child: a value sets the variable, nothing
// removes it.
using EnvironmentChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

inline ProgramResult RunProgram(const std::vector<std::string>& argv,
                                const EnvironmentChanges& environment = {},
                                std::chrono::seconds limit = std::chrono::seconds(60)) {
  TempFolder folder;
  const std::string outPath = folder.File("out"), errPath = folder.File("err");
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    for (const auto& [name, value] : environment) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ProgramResult result;
  if (pid < 0) return result;
  const int raw = WaitOrKill(pid, limit).status;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  result.out = ReadBytes(outPath);
  result.err = ReadBytes(errPath);
  return result;
}

}  // namespace tavlink::testing
