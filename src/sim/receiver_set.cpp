#include "sim/receiver_set.h"

#include <algorithm>
#include <thread>

#include "sim/frame_channel.h"
#include "sim/pty.h"
#include "sim/simulator.h"
#include "sim/symlink_guard.h"

namespace tavlink::sim {
namespace {

ReceiverState CopyOf(const ReceiverState& state) {
  ReceiverState copy;
  copy.model = state.model;
  copy.hardware = state.hardware;
  copy.software = state.software;
  std::copy_n(state.userData->bytes(), ReceiverDataBlock::kSize, copy.userData->bytes());
  copy.romImage = state.romImage;
  return copy;
}

// "#3 " before each log text of receiver 3 when there are several.
std::string LogPrefix(int number, int count) {
  std::string prefix;
  if (count > 1) {
    prefix = "#";
    prefix += std::to_string(number);
    prefix += ' ';
  }
  return prefix;
}

}  // namespace

// One receiver and everything it owns, in the order they depend on each
// other; the thread is last so it ends (joined) before the rest goes.
struct ReceiverSet::Receiver {
  Receiver(int number, const SimOptions& all, const ReceiverState& initial,
           const SimLog::Sink& sink, const StopSignal& stop)
      : options(OptionsForReceiver(all, number)),
        state(CopyOf(initial)),
        log(sink, all.log, LogPrefix(number, all.count)),
        line(pty, log, options.faults, stop),
        simulator(line, state, options) {}

  ~Receiver() {
    if (thread.joinable()) thread.join();
  }

  SimOptions options;
  ReceiverState state;
  Pty pty;
  SymlinkGuard link;
  SimLog log;
  FrameChannel line;
  Simulator simulator;
  std::thread thread;
};

ReceiverSet::ReceiverSet(const SimOptions& options, const ReceiverState& initial,
                         const SimLog::Sink& sink, StopSignal& stop)
    : stop_(stop) {
  for (int number = 1; number <= options.count; ++number) {
    auto& receiver =
        receivers_.emplace_back(std::make_unique<Receiver>(number, options, initial, sink, stop));
    if (!receiver->pty.ok()) {
      error_ = "cannot open a pseudo-terminal: " + receiver->pty.error();
      return;
    }
    const std::string& linkPath = receiver->options.linkPath;
    if (!linkPath.empty() &&
        !receiver->link.Create(linkPath, receiver->pty.DevicePath(), &error_)) {
      return;
    }
  }
}

ReceiverSet::~ReceiverSet() {
  stop_.Request();
  Join();
}

std::vector<std::string> ReceiverSet::DevicePaths() const {
  std::vector<std::string> paths;
  for (const auto& receiver : receivers_) paths.push_back(receiver->pty.DevicePath());
  return paths;
}

void ReceiverSet::Start() {
  for (const auto& receiver : receivers_) {
    receiver->log.Report("receiver ready on " + receiver->pty.DevicePath());
    receiver->thread = std::thread([&simulator = receiver->simulator] { simulator.Run(); });
  }
}

void ReceiverSet::Join() {
  for (const auto& receiver : receivers_) {
    if (receiver->thread.joinable()) receiver->thread.join();
  }
}

const ReceiverState& ReceiverSet::state(int number) const {
  return receivers_.at(static_cast<size_t>(number - 1))->state;
}

}  // namespace tavlink::sim
