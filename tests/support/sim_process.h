#pragma once
// Runs tavlink-sim as a child process for end-to-end tests. The program is
// looked for in the built programs' folder (support/paths.h).
//
//   SimProcess sim({"--log", "--payload-size", "4084"});
//   SerialPort port(...);            // open sim.DevicePath()
//   ... on failure: ADD_FAILURE() << sim.Stderr();
//
//   SimProcess four({"--count", "4", "--silent-on", "2"});  // four receivers
//   four.DevicePaths()                 // their devices, receiver 1 first
//
// The constructor returns once the simulator has printed every device path
// (at most 10 s); if it cannot start, the constructor records a test
// failure, DevicePath() and DevicePaths() are empty and Stderr() tells why. The destructor
// sends SIGTERM, waits up to 2 s, then SIGKILL, and always reaps the child.
// The child's standard error goes to a temporary file, deleted with the
// object. Not thread-safe; one object per simulator.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/paths.h"
#include "support/wait_or_kill.h"

namespace tavlink::testing {

// Path of the simulator executable (see above).
inline std::string SimProgramPath() {
  return (BinDir() / "tavlink-sim").string();
}

class SimProcess {
 public:
  // Starts the simulator with `extraArgs` and waits for as many device
  // paths as their "--count N" (or "--count=N") asks for, else one.
  explicit SimProcess(std::vector<std::string> extraArgs) {
    const std::string program = SimProgramPath();
    const int count = CountIn(extraArgs);
    char errName[] = "/tmp/tavlink-sim-stderr-XXXXXX";
    const int errFd = ::mkstemp(errName);
    if (errFd < 0) {
      ADD_FAILURE() << "SimProcess: cannot make a temporary file for stderr";
      return;
    }
    stderrPath_ = errName;
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
      ::close(errFd);
      ADD_FAILURE() << "SimProcess: pipe failed";
      return;
    }
    std::vector<std::string> args{program};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::dup2(errFd, STDERR_FILENO);
      ::execv(program.c_str(), argv.data());
      const char message[] = "SimProcess: exec of tavlink-sim failed\n";
      [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, message, sizeof message - 1);
      ::_exit(127);
    }
    ::close(out[1]);
    ::close(errFd);
    if (pid_ < 0) {
      ::close(out[0]);
      ADD_FAILURE() << "SimProcess: fork failed";
      return;
    }
    stdout_ = out[0];
    ReadDevicePaths(program, count);
  }

  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  ~SimProcess() {
    Stop();
    if (stdout_ >= 0) ::close(stdout_);
    if (!stderrPath_.empty()) ::unlink(stderrPath_.c_str());
  }

  // Receiver 1's "/dev/pts/N"; empty when the simulator did not start.
  std::string DevicePath() const { return devicePaths_.empty() ? std::string() : devicePaths_[0]; }

  // Every receiver's device, receiver 1 first; empty when the simulator
  // did not start or printed fewer than asked for.
  const std::vector<std::string>& DevicePaths() const { return devicePaths_; }

  // The simulator's process id; -1 once stopped or when it did not start.
  pid_t pid() const { return pid_; }

  // Everything the simulator has written to standard error so far.
  std::string Stderr() const {
    std::ifstream file(stderrPath_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  // Ends the simulator (SIGTERM, then SIGKILL after a grace) and returns its
  // wait status; later calls return the same status.
  int Stop() {
    if (pid_ <= 0) return status_;
    ::kill(pid_, SIGTERM);
    status_ = WaitOrKill(pid_, std::chrono::seconds(2)).status;
    pid_ = -1;
    return status_;
  }

 private:
  static int CountIn(const std::vector<std::string>& args) {
    int count = 1;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--count" && i + 1 < args.size()) count = std::atoi(args[i + 1].c_str());
      if (args[i].starts_with("--count=")) count = std::atoi(args[i].c_str() + 8);
    }
    return std::max(count, 1);
  }

  void ReadDevicePaths(const std::string& program, int count) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<std::string> paths;
    std::string line;
    char c = 0;
    while (std::chrono::steady_clock::now() < limit) {
      pollfd p{stdout_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      const ssize_t n = ::read(stdout_, &c, 1);
      if (n <= 0) break;  // the simulator ended before printing every path
      if (c != '\n') {
        line += c;
        continue;
      }
      paths.push_back(std::move(line));
      line.clear();
      if (paths.size() == static_cast<size_t>(count)) {
        devicePaths_ = std::move(paths);
        return;
      }
    }
    ADD_FAILURE() << "SimProcess: " << program << " printed " << paths.size() << " of " << count
                  << " device paths; stderr:\n"
                  << Stderr();
  }

  pid_t pid_ = -1;
  int status_ = -1;
  int stdout_ = -1;
  std::string stderrPath_;
  std::vector<std::string> devicePaths_;
};

}  // namespace tavlink::testing
