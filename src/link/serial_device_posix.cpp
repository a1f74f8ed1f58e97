// The serial device backend for POSIX systems (Linux): a tty opened
// exclusively and set to a raw 8N1 line without software flow control.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "link/port_names.h"
#include "link/serial_device.h"
#include "link/serial_error_posix.h"

namespace tavlink {

// The one place that turns errno into the words the device box shows: the
// system's text, plus a hint where that text alone does not help. How the
// front end came to this device is the front end's hint to add.
DeviceError PosixDeviceError(int err, DeviceStage stage, int portNumber, const std::string& path) {
  DeviceError e{err, std::strerror(err), DeviceError::Kind::kOther};
  // A device named directly (port 0) is named by its path alone.
  const std::string device =
      portNumber > 0 ? path + " (" + ComPortName(portNumber) + ")" : path;
  if (err == EACCES || err == EPERM) {
    e.kind = DeviceError::Kind::kAccessDenied;
    e.text += "\nYou may not use " + device +
              ": add your user to the group that owns it (on Debian, 'dialout') and log in again.";
  } else if (stage == DeviceStage::kOpening) {
    if (err == ENOENT || err == ENODEV || err == ENXIO) {
      e.kind = DeviceError::Kind::kNotFound;
      e.text += "\nThere is no device " + path + ".";
    } else if (err == EBUSY || err == EWOULDBLOCK) {
      e.kind = DeviceError::Kind::kBusy;
      e.text += "\nAnother program is using " + device + ".";
    }
  } else if (err == EIO || err == ENXIO || err == ENODEV) {
    e.kind = DeviceError::Kind::kGone;
    e.text += "\n" + device + " has gone: is its cable or adapter still plugged in?";
  }
  return e;
}

namespace {

speed_t SpeedOf(uint32_t baud) {
  switch (baud) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    default:
      return B0;
  }
}

using Steady = std::chrono::steady_clock;

class PosixSerialDevice final : public SerialDevice {
 public:
  explicit PosixSerialDevice(std::string path) : path_(std::move(path)) {}

  ~PosixSerialDevice() override {
    if (fd_ >= 0) Close();
  }

  DeviceError Open(int portNumber) override {
    portNumber_ = portNumber;
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return OpenError(errno);
    // TIOCEXCL keeps other users out, but not root; the lock keeps out
    // every process (root included) that asks for it, as this one does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      ::close(fd);
      return OpenError(err == EWOULDBLOCK ? EBUSY : err);
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
      const int err = errno;
      ::flock(fd, LOCK_UN);
      ::close(fd);
      return OpenError(err);
    }
    fd_ = fd;
    outputStalled_ = false;
    DropModemLines();  // Linux raises DTR and RTS on open
    // A fresh line starts empty: what the other side sent before this open
    // (the rest of an operation that was given up) is not this session's.
    // Before the line settings, so that a receiver that waits for them
    // cannot have sent this session's first bytes yet.
    ::tcflush(fd_, TCIFLUSH);
    return {};
  }

  DeviceError SetupQueues(uint32_t, uint32_t) override {
    return {};  // the kernel's tty buffers are larger than a frame; nothing to set
  }

  DeviceError Configure(const LineSettings& settings) override {
    baudRate_ = settings.baudRate;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return OpenError(errno);
    const speed_t speed = SpeedOf(settings.baudRate);
    if (speed == B0) return OpenError(EINVAL);
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | HUPCL);
    t.c_cflag |= CS8 | CREAD | CLOCAL;  // CRTSCTS stays as the device had it
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return OpenError(errno);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return OpenError(errno);
    DropModemLines();
    return {};
  }

  DeviceError ClearErrors() override {
    return {};  // a tty keeps no error flags to clear; bad bytes arrive as bytes
  }

  DeviceError ReadAvailable(uint8_t* buf, size_t max, size_t* got) override {
    *got = 0;
    while (*got < max) {
      const ssize_t n = ::read(fd_, buf + *got, max - *got);
      if (n > 0) {
        *got += static_cast<size_t>(n);
        continue;
      }
      if (n == 0) return *got == 0 ? HungUpCheck() : DeviceError{};
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return {};
      return UseError(errno);
    }
    return {};
  }

  DeviceError Write(const uint8_t* buf, size_t count, std::chrono::milliseconds timeout,
                    size_t* written, bool* timedOut) override {
    *written = 0;
    *timedOut = false;
    const auto deadline = Steady::now() + timeout;
    DeviceError e = Queue(buf, count, written);
    if (!e) e = AwaitSent(buf, count, deadline, written, timedOut);
    outputStalled_ = *timedOut;
    return e;
  }

  DeviceError DiscardInput() override {
    if (::tcflush(fd_, TCIFLUSH) != 0) return UseError(errno);
    return {};
  }

  DeviceError Close() override {
    if (fd_ < 0) return {};
    // After a write that ran out of time the line is not moving: what is
    // left of that write is thrown away, or the close would wait for it
    // (up to the driver's closing wait, 30 s on a UART). After a write that
    // succeeded, nothing of ours is left to throw away.
    if (outputStalled_) ::tcflush(fd_, TCOFLUSH);
    outputStalled_ = false;
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return UseError(errno);
    return {};
  }

 private:
  DeviceError OpenError(int err) const {
    return PosixDeviceError(err, DeviceStage::kOpening, portNumber_, path_);
  }
  DeviceError UseError(int err) const {
    return PosixDeviceError(err, DeviceStage::kInUse, portNumber_, path_);
  }

  // A raw read that finds nothing returns 0 on a live line and on one that
  // has hung up alike (an unplugged USB adapter, a pseudo-terminal whose
  // other end closed); only the hang-up reports POLLHUP.
  DeviceError HungUpCheck() const {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
      return UseError(EIO);
    return {};
  }

  // Hands the kernel what it takes of the bytes from `*written` on, without
  // waiting, and adds that to `*written`.
  DeviceError Queue(const uint8_t* buf, size_t count, size_t* written) const {
    while (*written < count) {
      const ssize_t n = ::write(fd_, buf + *written, count - *written);
      if (n > 0) {
        *written += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return UseError(errno);
      return {};  // the line's queue is full
    }
    return {};
  }

  // A write() returns once the kernel has queued the bytes, not when the
  // line has sent them. Waits until the line has sent every byte of the
  // write, until `deadline`: hands the kernel the rest of it as the line
  // makes room, then waits until the driver's transmit queue is empty,
  // polling it (tcdrain has no time-out) at about the pace the line empties
  // it. A device that cannot report its queue counts as sent once the
  // kernel has taken everything: the kernel still sends what it holds, as
  // nothing is purged.
  DeviceError AwaitSent(const uint8_t* buf, size_t count, Steady::time_point deadline,
                        size_t* written, bool* timedOut) {
    for (;;) {
      if (DeviceError e = Queue(buf, count, written)) return e;
      int queued = 0;
      if (*written == count) {
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) {
          if (errno == EINTR) continue;
          return {};
        }
        if (queued <= 0) return {};
      }
      const auto now = Steady::now();
      if (now >= deadline) {
        *timedOut = true;
        return {};
      }
      if (*written < count) {
        // Wait until the queue takes more, at most a second at a time.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        pollfd p{fd_, POLLOUT, 0};
        const int wait = static_cast<int>(std::min<long long>(left.count(), 1000));
        if (::poll(&p, 1, wait) < 0 && errno != EINTR) return UseError(errno);
        continue;
      }
      // Ten bit times per byte; wake up at least every 10 ms.
      const auto drain = std::chrono::microseconds(
          std::max<long long>(50, 10'000'000LL * queued / std::max<uint32_t>(baudRate_, 1)));
      const auto nap =
          std::min({std::chrono::duration_cast<Steady::duration>(drain),
                    std::chrono::duration_cast<Steady::duration>(std::chrono::milliseconds(10)),
                    deadline - now});
      std::this_thread::sleep_for(nap);
    }
  }

  // Holds DTR and RTS off. A device without modem lines (a pseudo-terminal)
  // refuses with ENOTTY or EINVAL, which is no error here.
  void DropModemLines() {
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd_, TIOCMBIC, &lines);
  }

  uint32_t baudRate_ = 115200;  // the rate configured last, to pace AwaitSent
  std::string path_;            // the device this object opens
  int fd_ = -1;
  int portNumber_ = 0;
  bool outputStalled_ = false;  // the last write ran out of time
};

}  // namespace

std::unique_ptr<SerialDevice> MakeSerialDeviceAt(const std::string& path) {
  return std::make_unique<PosixSerialDevice>(path);
}

}  // namespace tavlink
