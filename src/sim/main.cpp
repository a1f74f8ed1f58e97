// tavlink-sim: a ZOR receiver on a pseudo-terminal, for training and tests.

#include <csignal>
#include <cstdio>

#include "sim/command_line.h"
#include "sim/pty.h"
#include "sim/sample_data.h"
#include "sim/simulator.h"
#include "sim/symlink_guard.h"
#include "sim/user_data_file.h"

namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnStopSignal(int) {
  g_stop.store(true);
}

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tavlink::sim;
  SimOptions options;
  if (const int status = ParseCommandLine(argc, argv, &options); status >= 0) return status;

  ReceiverState state;
  state.model = options.model;
  state.hardware = options.hardware;
  state.software = options.software;
  const std::string userData =
      options.userDataPath.empty() ? DefaultSampleDataPath().string() : options.userDataPath;
  std::string error;
  if (!LoadUserData(userData, state.userData.get(), &error)) {
    std::fprintf(stderr, "tavlink-sim: %s\n", error.c_str());
    return 2;
  }

  InstallSignalHandlers();
  Pty pty;
  if (!pty.ok()) {
    std::fprintf(stderr, "tavlink-sim: cannot open a pseudo-terminal: %s\n", pty.error().c_str());
    return 1;
  }
  SymlinkGuard link;
  if (!options.linkPath.empty() && !link.Create(options.linkPath, pty.DevicePath(), &error)) {
    std::fprintf(stderr, "tavlink-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", pty.DevicePath().c_str());
  std::fflush(stdout);

  SimLog log(SimLog::StderrSink(), options.log);
  log.Report("receiver ready on " + pty.DevicePath() + ", user data from " + userData);
  FrameChannel line(pty, log, options.faults, g_stop);
  Simulator simulator(line, state, options);
  simulator.Run();
  log.Report("stopped");
  return 0;
}
