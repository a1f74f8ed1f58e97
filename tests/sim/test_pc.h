#pragma once
// A minimal PC end of the line for the simulator tests: opens the pty
// slave raw at a given speed, writes golden frames and reads whole frames
// back with a time-out. Every wait is bounded, so a silent simulator makes a
// test fail rather than hang.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/big_endian.h"
#include "link/crc32.h"
#include "sim/sim_frame.h"
#include "sim/unique_fd.h"

namespace tavlink::sim::testing {

// What arrived from the receiver. `code` is -1 after a time-out.
struct PcFrame {
  int code = -1;
  std::vector<uint8_t> payload;
  bool crcOk = false;
};

class TestPc {
 public:
  TestPc(std::string path, speed_t speed) : path_(std::move(path)) { Open(speed); }

  bool ok() const { return fd_.valid(); }

  // Closes the line and opens it again at `speed`, dropping both queues, as
  // the PC does between the request and the data of a user data read.
  void Reopen(speed_t speed) {
    fd_.Reset();
    Open(speed);
    ::tcflush(fd_.get(), TCIOFLUSH);
  }

  void SendCode(int code) { Write(EncodeCommandFrame(code)); }
  void SendData(std::span<const uint8_t> payload) { Write(EncodeDataFrame(payload)); }
  void Write(std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else {
        pollfd p{fd_.get(), POLLOUT, 0};
        if (::poll(&p, 1, 2000) <= 0) return;
      }
    }
  }

  // The bytes that arrive until the line has been quiet for `quiet`, as
  // they come, not cut into frames.
  std::vector<uint8_t> ReadUntilQuiet(std::chrono::milliseconds quiet) {
    std::vector<uint8_t> all;
    uint8_t chunk[4096];
    for (;;) {
      pollfd p{fd_.get(), POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0) return all;
      const ssize_t n = ::read(fd_.get(), chunk, sizeof chunk);
      if (n <= 0) return all;
      all.insert(all.end(), chunk, chunk + n);
    }
  }

  // Exactly `count` bytes as they come; fewer when `timeout` ran out first.
  std::vector<uint8_t> ReadBytes(size_t count, std::chrono::milliseconds timeout) {
    std::vector<uint8_t> bytes(count);
    size_t got = 0;
    ReadExact(bytes.data(), count, timeout, &got);
    bytes.resize(got);
    return bytes;
  }

  PcFrame Receive(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    PcFrame frame;
    uint8_t header[kFrameHeaderSize];
    if (!ReadExact(header, sizeof header, timeout)) return frame;
    const FrameHeader h = DecodeHeader(header);
    if (!h.magicOk) return frame;
    frame.code = h.code;
    if (h.code != FC_DATA) return frame;
    std::vector<uint8_t> body(h.length);
    if (h.length < 4 || !ReadExact(body.data(), body.size(), timeout)) {
      frame.code = -1;
      return frame;
    }
    frame.crcOk = BodyCrcMatches(body);
    body.resize(body.size() - 4);
    frame.payload = std::move(body);
    return frame;
  }

 private:
  void Open(speed_t speed) {
    fd_.Reset(::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    termios tio{};
    if (!fd_.valid() || ::tcgetattr(fd_.get(), &tio) != 0) return;
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    ::tcsetattr(fd_.get(), TCSANOW, &tio);
  }

  bool ReadExact(uint8_t* out, size_t count, std::chrono::milliseconds timeout) {
    size_t got = 0;
    return ReadExact(out, count, timeout, &got);
  }
  bool ReadExact(uint8_t* out, size_t count, std::chrono::milliseconds timeout, size_t* gotOut) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    size_t& got = *gotOut;
    while (got < count) {
      const ssize_t n = ::read(fd_.get(), out + got, count - got);
      if (n > 0) {
        got += static_cast<size_t>(n);
        continue;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd p{fd_.get(), POLLIN, 0};
      ::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 100)));
    }
    return true;
  }

  std::string path_;
  UniqueFd fd_;
};

// Reads the user data frames up to FC_USERDATA_END, acknowledging each
// frame (not the end); `sizes` gets each payload's size.
inline std::vector<uint8_t> TakeUserData(TestPc& pc, std::vector<size_t>* sizes) {
  std::vector<uint8_t> data;
  for (PcFrame f = pc.Receive(); f.code == FC_DATA; f = pc.Receive()) {
    if (!f.crcOk) return {};
    sizes->push_back(f.payload.size());
    data.insert(data.end(), f.payload.begin(), f.payload.end());
    pc.SendCode(FC_ACK);
  }
  return data;
}

// A whole user data read, as the PC does it: the request at 115200, the
// data at 19200, then back to 115200. Empty when any step failed.
inline std::vector<uint8_t> ReadUserData(TestPc& pc) {
  pc.SendCode(FC_USERDATA);
  if (pc.Receive().code != FC_ACK) return {};
  pc.Reopen(B19200);
  std::vector<size_t> sizes;
  std::vector<uint8_t> data = TakeUserData(pc, &sizes);
  pc.SendCode(FC_ACK);  // to FC_USERDATA_END
  pc.Reopen(B115200);
  return data;
}

// Writes `block` as factory data in frames of 2048 bytes to a receiver that
// answers FC_FACTORY with FC_READY alone (no ready delay). False when the
// receiver does not answer as expected.
inline bool WriteFactoryData(TestPc& pc, std::span<const uint8_t> block) {
  pc.SendCode(FC_FACTORY);
  if (pc.Receive().code != FC_READY) return false;
  for (size_t at = 0; at < block.size(); at += 2048) {
    pc.SendData(block.subspan(at, std::min<size_t>(2048, block.size() - at)));
    if (pc.Receive().code != FC_ACK) return false;
  }
  pc.SendCode(FC_FACTORY_END);
  return pc.Receive().code == FC_ACK;
}

}  // namespace tavlink::sim::testing
