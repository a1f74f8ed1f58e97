#include "sim/pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

namespace tavlink::sim {
namespace {

uint32_t BaudOf(speed_t speed) {
  switch (speed) {
    case B1200:
      return 1200;
    case B2400:
      return 2400;
    case B4800:
      return 4800;
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    case B57600:
      return 57600;
    case B115200:
      return 115200;
    case B230400:
      return 230400;
    default:
      return 0;
  }
}

}  // namespace

Pty::Pty() {
  master_.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!master_.valid()) {
    Fail("posix_openpt");
    return;
  }
  if (::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0) {
    Fail("grantpt/unlockpt");
    return;
  }
  char name[128];
  if (::ptsname_r(master_.get(), name, sizeof name) != 0) {
    Fail("ptsname_r");
    return;
  }
  path_ = name;
  UniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  if (!slave.valid()) {
    Fail("open slave");
    return;
  }
  termios tio{};
  if (::tcgetattr(slave.get(), &tio) != 0) {
    Fail("tcgetattr");
    return;
  }
  ::cfmakeraw(&tio);
  ::cfsetispeed(&tio, B9600);
  ::cfsetospeed(&tio, B9600);
  if (::tcsetattr(slave.get(), TCSANOW, &tio) != 0) {
    Fail("tcsetattr");
    return;
  }
  const int flags = ::fcntl(master_.get(), F_GETFL);
  if (flags < 0 || ::fcntl(master_.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
    Fail("fcntl O_NONBLOCK");
    return;
  }
  slave_ = std::move(slave);
}

bool Pty::Fail(const char* what) {
  error_ = std::string(what) + ": " + std::strerror(errno);
  master_.Reset();
  slave_.Reset();
  return false;
}

LineState Pty::ReadLineState() const {
  LineState state;
  termios tio{};
  if (::tcgetattr(master_.get(), &tio) != 0) return state;
  state.baud = BaudOf(::cfgetospeed(&tio));
  state.cs8 = (tio.c_cflag & CSIZE) == CS8;
  state.parity = (tio.c_cflag & PARENB) != 0;
  state.twoStopBits = (tio.c_cflag & CSTOPB) != 0;
  state.xonXoff = (tio.c_iflag & (IXON | IXOFF)) != 0;
  return state;
}

}  // namespace tavlink::sim
