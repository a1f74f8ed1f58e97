#pragma once
// The receivers one process serves (--count): each has its own
// pseudo-terminal and link, its own state (identity, user data, upgrade
// image), options, faults and log, and runs its main loop on a thread of
// its own. Nothing is shared between them but the log sink and the stop.

#include <memory>
#include <string>
#include <vector>

#include "sim/receiver_state.h"
#include "sim/sim_log.h"
#include "sim/sim_options.h"
#include "sim/stop_signal.h"

namespace tavlink::sim {

class ReceiverSet {
 public:
  // Opens options.count pseudo-terminals (and links, when asked); each
  // receiver starts with a copy of `initial`. On failure ok() is false,
  // error() says why, and whatever was made is undone by the destructor.
  // `sink` is called from every receiver's thread; `stop` must outlive the
  // set.
  ReceiverSet(const SimOptions& options, const ReceiverState& initial, const SimLog::Sink& sink,
              StopSignal& stop);
  ReceiverSet(const ReceiverSet&) = delete;
  ReceiverSet& operator=(const ReceiverSet&) = delete;
  // Requests the stop and waits for every receiver's thread.
  ~ReceiverSet();

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // The devices to open, receiver 1 first.
  std::vector<std::string> DevicePaths() const;

  // Starts every receiver's thread. REQUIRES: ok(), called once.
  void Start();

  // Waits until every receiver has stopped (after the stop is requested).
  void Join();

  // Receiver `number`'s state (1..count). Read it only after Join().
  const ReceiverState& state(int number) const;

 private:
  struct Receiver;

  std::vector<std::unique_ptr<Receiver>> receivers_;
  StopSignal& stop_;
  std::string error_;
};

}  // namespace tavlink::sim
