#pragma once
// The receiver's end of the line: a pseudo-terminal whose master this
// process reads and writes, and whose slave (DevicePath()) the PC opens.
//
// The object also keeps a slave descriptor of its own open for its whole
// life, so the master never sees a hang-up when the PC closes and reopens
// the line. That descriptor is set to raw 9600 baud at start, so whatever
// the PC sets afterwards is observable. Never read from it.

#include <string>

#include "sim/line_state.h"
#include "sim/unique_fd.h"

namespace tavlink::sim {

class Pty {
 public:
  // Opens and prepares the pair; on failure `ok()` is false and `error()`
  // says why.
  Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool ok() const { return master_.valid() && slave_.valid(); }
  const std::string& error() const { return error_; }

  // Non-blocking master descriptor; owned by this object.
  int MasterFd() const { return master_.get(); }

  // "/dev/pts/N", the device the PC opens.
  const std::string& DevicePath() const { return path_; }

  // The slave's current settings (read through the master).
  LineState ReadLineState() const;

 private:
  bool Fail(const char* what);

  UniqueFd master_;
  UniqueFd slave_;
  std::string path_;
  std::string error_;
};

}  // namespace tavlink::sim
