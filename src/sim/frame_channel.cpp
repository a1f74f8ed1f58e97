#include "sim/frame_channel.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "link/frame.h"
#include "sim/sim_frame.h"

namespace tavlink::sim {
namespace {

using std::chrono::milliseconds;

// How long the rest of a frame may take once its first byte has arrived.
constexpr milliseconds kFrameTimeout{10000};
// How long the PC may leave a frame of ours unread before we give it up.
constexpr milliseconds kWriteTimeout{30000};
// Slice of the waits while writing, so that a stop request is seen quickly.
constexpr milliseconds kSlice{50};
// Draining ends after this much quiet, or after kDrainLimit in all.
constexpr milliseconds kDrainQuiet{50};
constexpr milliseconds kDrainLimit{2000};

std::string HexBytes(const uint8_t* bytes, size_t count) {
  std::string text;
  char item[4];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(item, sizeof item, i ? " %02x" : "%02x", bytes[i]);
    text += item;
  }
  return text;
}

// Waits for `events` on `fd`, a stop request or `timeout` (nullopt: no
// limit), whichever comes first. Without the stop's descriptor the wait is
// cut to a slice so the stop flag is still seen. A hang-up without data
// would make poll return at once; sleep a slice instead so the caller
// cannot spin.
void WaitFor(int fd, short events, const StopSignal& stop, std::optional<milliseconds> timeout) {
  if (stop.fd() < 0) timeout = std::min(timeout.value_or(kSlice), kSlice);
  pollfd p[2] = {{fd, events, 0}, {stop.fd(), POLLIN, 0}};
  const int ready = ::poll(p, 2, timeout ? static_cast<int>(timeout->count()) : -1);
  if (ready > 0 && !(p[0].revents & events) && !(p[1].revents & POLLIN)) {
    std::this_thread::sleep_for(std::min(timeout.value_or(kSlice), kSlice));
  }
}

// What the trace adds to a frame that did not go out whole.
const char* Unsent(bool interrupted) {
  return interrupted ? " (cut short: the PC is sending)" : " (not sent)";
}

// Time left until `deadline` (nullopt: no limit); zero or less once passed.
std::optional<milliseconds> LeftUntil(
    std::optional<std::chrono::steady_clock::time_point> deadline) {
  if (!deadline) return std::nullopt;
  return std::chrono::duration_cast<milliseconds>(*deadline - std::chrono::steady_clock::now());
}

}  // namespace

FrameChannel::FrameChannel(const Pty& pty, SimLog& log, LineFaults faults, const StopSignal& stop)
    : pty_(pty), log_(log), faults_(faults), stop_(stop) {
  if (faults_.dropAfter && *faults_.dropAfter <= 0) dropping_ = true;
}

FrameChannel::Io FrameChannel::ReadExact(uint8_t* buffer, size_t count,
                                         std::optional<Steady::time_point> deadline, size_t* got) {
  *got = 0;
  while (*got < count) {
    if (stop_.requested()) return Io::kStopped;
    const ssize_t n = ::read(pty_.MasterFd(), buffer + *got, count - *got);
    if (n > 0) {
      *got += static_cast<size_t>(n);
      continue;
    }
    const std::optional<milliseconds> left = LeftUntil(deadline);
    if (left && *left <= milliseconds::zero()) return Io::kTimeout;
    WaitFor(pty_.MasterFd(), POLLIN, stop_, left);
  }
  return Io::kOk;
}

FrameChannel::Io FrameChannel::WriteAll(const uint8_t* data, size_t count) {
  const uint32_t baud = faults_.pace ? pty_.ReadLineState().baud : 0;
  const auto start = Steady::now();
  auto lastProgress = start;
  size_t sent = 0;
  while (sent < count) {
    if (stop_.requested()) return Io::kStopped;
    if (PcIsSending()) return Io::kInterrupted;
    size_t chunk = count - sent;
    if (baud > 0) {
      // Hold the line rate from the start time: byte i is due at i * 10 / baud seconds.
      chunk = std::min(chunk, std::max<size_t>(1, baud / 10 / 100));
      const auto due = start + std::chrono::microseconds(uint64_t{sent} * 10'000'000 / baud);
      if (due > Steady::now()) {
        std::this_thread::sleep_until(std::min(due, Steady::now() + kSlice));
        continue;
      }
    }
    const ssize_t n = ::write(pty_.MasterFd(), data + sent, chunk);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      lastProgress = Steady::now();
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      log_.Report(std::string("write to the line failed: ") + std::strerror(errno));
      return Io::kTimeout;
    }
    if (Steady::now() - lastProgress > kWriteTimeout) {
      log_.Report("the PC does not take our bytes; frame given up");
      return Io::kTimeout;
    }
    WaitFor(pty_.MasterFd(), POLLOUT, stop_, kSlice);
  }
  return Io::kOk;
}

RxFrame FrameChannel::Receive(std::optional<milliseconds> timeout) {
  std::optional<Steady::time_point> deadline;
  if (timeout) deadline = Steady::now() + *timeout;
  if (dropping_) return Discard(deadline);

  RxFrame frame;
  uint8_t header[kFrameHeaderSize];
  size_t got = 0;
  Io io = ReadExact(header, 1, deadline, &got);
  if (io == Io::kOk) {
    io = ReadExact(header + 1, kFrameHeaderSize - 1, Steady::now() + kFrameTimeout, &got);
    if (io == Io::kTimeout) {
      log_.Report("incomplete frame header from the PC: " + std::to_string(got + 1) +
                  " of 12 bytes");
    }
  }
  if (io != Io::kOk) {
    frame.kind = io == Io::kStopped ? RxFrame::Kind::kStopped : RxFrame::Kind::kTimeout;
    return frame;
  }

  ++framesReceived_;
  if (faults_.dropAfter && framesReceived_ > *faults_.dropAfter) {
    dropping_ = true;
    log_.Report("dropping everything from the PC from now on (after " +
                std::to_string(*faults_.dropAfter) + " frames)");
    return Discard(deadline);
  }
  const FrameHeader h = DecodeHeader(header);
  if (!h.magicOk) {
    log_.Report("bad frame magic from the PC: " + HexBytes(header, kFrameHeaderSize) +
                "; draining the line");
    Drain();
    frame.kind = RxFrame::Kind::kBadMagic;
    return frame;
  }
  CheckLine(h.code);
  if (h.code != FC_DATA) {
    log_.Trace("PC -> RX  " + FrameCodeName(h.code));
    frame.kind = RxFrame::Kind::kCommand;
    frame.code = h.code;
    return frame;
  }
  return ReadBody(h.code, h.length);
}

RxFrame FrameChannel::ReadBody(int code, size_t length) {
  RxFrame frame;
  frame.code = code;
  if (length < kMinDataLength || length > kMaxDataLength) {
    log_.Report("data frame length " + std::to_string(length) + " outside 4..4100; draining");
    Drain();
    frame.kind = RxFrame::Kind::kBadLength;
    return frame;
  }
  std::vector<uint8_t> body(length);
  size_t got = 0;
  const Io io = ReadExact(body.data(), length, Steady::now() + kFrameTimeout, &got);
  if (io != Io::kOk) {
    if (io == Io::kTimeout) {
      log_.Report("incomplete data frame from the PC: " + std::to_string(got) + " of " +
                  std::to_string(length) + " bytes after the header");
    }
    frame.kind = io == Io::kStopped ? RxFrame::Kind::kStopped : RxFrame::Kind::kTimeout;
    return frame;
  }
  ++dataReceived_;
  const std::string len = std::to_string(length - 4);
  if (!BodyCrcMatches(body)) {
    log_.Trace("PC -> RX  FC_DATA len " + len + " crc BAD");
    frame.kind = RxFrame::Kind::kBadCrc;
    return frame;
  }
  frame.kind = RxFrame::Kind::kData;
  body.resize(length - 4);
  frame.payload = std::move(body);
  frame.nakRequested = dataReceived_ == faults_.nakFrame;
  log_.Trace("PC -> RX  FC_DATA len " + len + " crc ok" +
             (frame.nakRequested ? " (to be refused on request)" : ""));
  return frame;
}

RxFrame FrameChannel::Discard(std::optional<Steady::time_point> deadline) {
  uint8_t scratch[4096];
  while (!stop_.requested()) {
    const ssize_t n = ::read(pty_.MasterFd(), scratch, sizeof scratch);
    if (n > 0) continue;
    const std::optional<milliseconds> left = LeftUntil(deadline);
    if (left && *left <= milliseconds::zero()) return RxFrame{};
    WaitFor(pty_.MasterFd(), POLLIN, stop_, left);
  }
  RxFrame stopped;
  stopped.kind = RxFrame::Kind::kStopped;
  return stopped;
}

void FrameChannel::Drain() {
  uint8_t scratch[4096];
  const auto limit = Steady::now() + kDrainLimit;
  auto lastByte = Steady::now();
  while (!stop_.requested() && Steady::now() < limit && Steady::now() - lastByte < kDrainQuiet) {
    const ssize_t n = ::read(pty_.MasterFd(), scratch, sizeof scratch);
    if (n > 0) {
      lastByte = Steady::now();
      continue;
    }
    WaitFor(pty_.MasterFd(), POLLIN, stop_, milliseconds{10});
  }
}

void FrameChannel::NoteLineRate() {
  const uint32_t baud = pty_.ReadLineState().baud;
  if (baud == notedBaud_) return;
  const auto name = [](uint32_t b) { return b ? std::to_string(b) : std::string("non-standard"); };
  if (notedBaud_ != 0)
    log_.Report("the PC set the line to " + name(baud) + " baud (was " + name(notedBaud_) + ")");
  notedBaud_ = baud;
}

void FrameChannel::CheckLine(int code) {
  NoteLineRate();
  const std::string mismatch =
      DescribeMismatch(pty_.ReadLineState(), expectedBaud_, alsoAcceptedBaud_);
  if (!mismatch.empty()) {
    log_.Report("line settings wrong when " + FrameCodeName(code) + " arrived: " + mismatch);
  }
}

bool FrameChannel::PcIsSending() const {
  pollfd p{pty_.MasterFd(), POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

bool FrameChannel::SendCode(int code) {
  interrupted_ = false;
  if (dropping_) return true;
  const auto frame = EncodeCommandFrame(code);
  const Io io = WriteAll(frame.data(), frame.size());
  interrupted_ = io == Io::kInterrupted;
  log_.Trace("RX -> PC  " + FrameCodeName(code) + (io == Io::kOk ? "" : Unsent(interrupted_)));
  return io == Io::kOk;
}

bool FrameChannel::SendData(std::span<const uint8_t> payload) {
  interrupted_ = false;
  if (dropping_) return true;
  ++dataSent_;
  const bool corrupt = dataSent_ == faults_.corruptFrame;
  const auto frame = EncodeDataFrame(payload, corrupt);
  const Io io = WriteAll(frame.data(), frame.size());
  interrupted_ = io == Io::kInterrupted;
  log_.Trace("RX -> PC  FC_DATA len " + std::to_string(payload.size()) +
             (corrupt ? " crc corrupted on request" : "") +
             (io == Io::kOk ? "" : Unsent(interrupted_)));
  return io == Io::kOk;
}

}  // namespace tavlink::sim
