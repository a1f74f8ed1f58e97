// tavlink-sim: ZOR receivers on pseudo-terminals, for training and tests.

#include <csignal>
#include <cstdio>

#include "sim/command_line.h"
#include "sim/receiver_set.h"
#include "sim/sample_data.h"
#include "sim/stop_signal.h"
#include "sim/user_data_file.h"

namespace {

// Set by SIGINT/SIGTERM; stops every receiver.
tavlink::sim::StopSignal g_stop;

void OnStopSignal(int) {
  g_stop.Request();
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

  ReceiverState initial;
  initial.model = options.model;
  initial.hardware = options.hardware;
  initial.software = options.software;
  const std::string userData =
      options.userDataPath.empty() ? DefaultSampleDataPath().string() : options.userDataPath;
  std::string error;
  if (!LoadUserData(userData, initial.userData.get(), &error)) {
    std::fprintf(stderr, "tavlink-sim: %s\n", error.c_str());
    return 2;
  }

  InstallSignalHandlers();
  const SimLog::Sink sink = SimLog::StderrSink();
  SimLog log(sink, false);
  ReceiverSet receivers(options, initial, sink, g_stop);
  if (!receivers.ok()) {
    std::fprintf(stderr, "tavlink-sim: %s\n", receivers.error().c_str());
    return 1;
  }
  for (const std::string& path : receivers.DevicePaths()) std::printf("%s\n", path.c_str());
  std::fflush(stdout);

  log.Report("user data from " + userData);
  receivers.Start();
  receivers.Join();
  log.Report("stopped");
  return 0;
}
