// The serial device backend for Windows: a COM device opened without sharing
// for overlapped I/O, set up with the communications calls in the order the
// port opens a line: queues, device control block, event mask, time-outs.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>

#include "link/com_ports_win32.h"
#include "link/port_names.h"
#include "link/serial_device.h"
#include "link/serial_error_win32.h"

namespace tavlink {
namespace {

using Steady = std::chrono::steady_clock;

struct HandleCloser {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The system's words for `code`, without the line end they come with.
std::string SystemText(DWORD code) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
      nullptr);
  std::string words;
  if (length != 0 && text != nullptr) words.assign(text, length);
  if (text != nullptr) ::LocalFree(text);
  while (!words.empty() && (words.back() == '\r' || words.back() == '\n' || words.back() == ' '))
    words.pop_back();
  if (words.empty()) words = "Unknown error " + std::to_string(code) + ".";
  return words;
}

// "COM5" for "\\.\COM5", else the path itself: how messages name a device.
std::string DisplayName(const std::string& path) {
  constexpr std::string_view kPrefix = "\\\\.\\";
  if (path.starts_with(kPrefix)) return path.substr(kPrefix.size());
  return path;
}

}  // namespace

// The words the device box shows for `code`: the system's text, plus a hint
// where that alone does not help.
DeviceError Win32DeviceError(unsigned long code, DeviceStage stage, const std::string& port,
                             const std::string& path) {
  // A failed call that left no error code is still a failure.
  if (code == ERROR_SUCCESS) code = ERROR_OPEN_FAILED;
  DeviceError e{static_cast<int>(code), SystemText(code), DeviceError::Kind::kOther};
  std::string device = DisplayName(path);
  if (!port.empty() && device != port) device += " (" + port + ")";
  if (stage == DeviceStage::kInUse) {
    if (code == ERROR_BAD_COMMAND || code == ERROR_DEVICE_REMOVED ||
        code == ERROR_DEVICE_NOT_CONNECTED || code == ERROR_ACCESS_DENIED) {
      e.kind = DeviceError::Kind::kGone;
      e.text += "\n" + device + " has gone: is its cable or adapter still plugged in?";
    }
    return e;
  }
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      e.kind = DeviceError::Kind::kBusy;
      e.text += "\nAnother program is using " + device + ".";
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: {
      e.kind = DeviceError::Kind::kNotFound;
      e.text += "\nThere is no " + device + " on this computer.";
      const auto ports = ListComPorts();
      if (ports.empty()) {
        e.text += " It has no COM port.";
      } else {
        e.text += " Its COM ports: ";
        for (size_t i = 0; i < ports.size(); ++i) e.text += (i ? ", " : "") + ports[i];
        e.text += ".";
      }
      break;
    }
    default:
      break;
  }
  return e;
}

namespace {

class Win32SerialDevice final : public SerialDevice {
 public:
  explicit Win32SerialDevice(const std::string& path) : path_(Win32DevicePath(path)) {}

  ~Win32SerialDevice() override {
    if (handle_) Close();
  }

  DeviceError Open(int portNumber) override {
    port_ = portNumber > 0 ? ComPortName(portNumber) : std::string();
    if (!event_) {
      // Auto-reset, not signalled: the completion event of every read and write.
      event_.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
      if (!event_) return OpenError(::GetLastError());
    }
    const HANDLE h =
        ::CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) return OpenError(::GetLastError());
    handle_.reset(h);
    outputStuck_ = false;
    return {};
  }

  DeviceError SetupQueues(uint32_t inputBytes, uint32_t outputBytes) override {
    if (!::SetupComm(handle_.get(), inputBytes, outputBytes)) return OpenError(::GetLastError());
    return {};
  }

  DeviceError Configure(const LineSettings& settings) override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!settings.mode.empty() && !::BuildCommDCBA(settings.mode.c_str(), &dcb))
      return OpenError(::GetLastError());
    // The device's own settings are the base; when they cannot be read, the
    // mode string's stay.
    ::GetCommState(handle_.get(), &dcb);
    dcb.BaudRate = settings.baudRate;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 100;
    dcb.XoffLim = 100;
    if (!::SetCommState(handle_.get(), &dcb)) return OpenError(::GetLastError());
    baudRate_ = settings.baudRate;
    if (!::SetCommMask(handle_.get(), EV_RXCHAR)) return OpenError(::GetLastError());
    COMMTIMEOUTS timeouts{
        settings.timeouts.readIntervalTimeout, settings.timeouts.readTotalTimeoutMultiplier,
        settings.timeouts.readTotalTimeoutConstant, settings.timeouts.writeTotalTimeoutMultiplier,
        settings.timeouts.writeTotalTimeoutConstant};
    if (!::SetCommTimeouts(handle_.get(), &timeouts)) return OpenError(::GetLastError());
    return {};
  }

  DeviceError ClearErrors() override {
    DWORD errors = 0;
    if (!::ClearCommError(handle_.get(), &errors, nullptr)) return UseError(::GetLastError());
    return {};
  }

  DeviceError ReadAvailable(uint8_t* buf, size_t max, size_t* got) override {
    *got = 0;
    OVERLAPPED ov = FreshRecord();
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(max, MAXDWORD));
    if (!::ReadFile(handle_.get(), buf, ask, &n, &ov)) {
      const DWORD err = ::GetLastError();
      if (err != ERROR_IO_PENDING) return UseError(err);
      // The driver time-outs make a read complete at once with what has
      // arrived. One that waits for more all the same is cancelled, so that
      // no read is left running into the caller's buffer; what it got stays.
      if (!::GetOverlappedResult(handle_.get(), &ov, &n, FALSE)) {
        DWORD e = ::GetLastError();
        if (e == ERROR_IO_INCOMPLETE) {
          ::CancelIoEx(handle_.get(), &ov);
          e = ::GetOverlappedResult(handle_.get(), &ov, &n, TRUE) ? ERROR_SUCCESS
                                                                  : ::GetLastError();
        }
        if (e != ERROR_SUCCESS && e != ERROR_OPERATION_ABORTED) return UseError(e);
      }
    }
    *got = n;
    return {};
  }

  DeviceError Write(const uint8_t* buf, size_t count, std::chrono::milliseconds timeout,
                    size_t* written, bool* timedOut) override {
    *written = 0;
    *timedOut = false;
    const auto deadline = Steady::now() + timeout;
    OVERLAPPED ov = FreshRecord();
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(count, MAXDWORD));
    if (!::WriteFile(handle_.get(), buf, ask, &n, &ov)) {
      const DWORD err = ::GetLastError();
      if (err != ERROR_IO_PENDING) return UseError(err);
      const DWORD wait = ::WaitForSingleObject(event_.get(), WaitMilliseconds(timeout));
      if (wait != WAIT_OBJECT_0) {
        // Not taken in time. The write is cancelled rather than left
        // running on a buffer and a record that are about to go away.
        const DWORD waitError = wait == WAIT_FAILED ? ::GetLastError() : ERROR_SUCCESS;
        ::CancelIoEx(handle_.get(), &ov);
        ::GetOverlappedResult(handle_.get(), &ov, &n, TRUE);
        *written = n;
        outputStuck_ = true;
        if (wait == WAIT_FAILED) return UseError(waitError);
        *timedOut = true;
        return {};
      }
      if (!::GetOverlappedResult(handle_.get(), &ov, &n, FALSE)) return UseError(::GetLastError());
    }
    *written = n;
    if (n < count) {  // the driver's write time-out ended it early
      *timedOut = true;
      outputStuck_ = true;
      return {};
    }
    return AwaitSent(deadline, timedOut);
  }

  DeviceError DiscardInput() override {
    if (!::PurgeComm(handle_.get(), PURGE_RXABORT | PURGE_RXCLEAR))
      return UseError(::GetLastError());
    return {};
  }

  DeviceError Close() override {
    if (!handle_) return {};
    // After a write that succeeded its bytes have been sent: nothing of
    // ours is left to wait for or to lose. After one that ran out of time
    // the line is not moving, and what is left of it is thrown away rather
    // than left to hold the close up.
    if (outputStuck_) ::PurgeComm(handle_.get(), PURGE_TXABORT | PURGE_TXCLEAR);
    outputStuck_ = false;
    ::PurgeComm(handle_.get(), PURGE_RXABORT | PURGE_RXCLEAR);
    if (!::CloseHandle(handle_.release())) return UseError(::GetLastError());
    return {};
  }

 private:
  DeviceError OpenError(DWORD code) const {
    return Win32DeviceError(code, DeviceStage::kOpening, port_, path_);
  }
  DeviceError UseError(DWORD code) const {
    return Win32DeviceError(code, DeviceStage::kInUse, port_, path_);
  }

  // The overlapped record of one read or write, its event reset.
  OVERLAPPED FreshRecord() const {
    OVERLAPPED ov{};
    ov.hEvent = event_.get();
    ::ResetEvent(event_.get());
    return ov;
  }

  // A time-out as WaitForSingleObject takes it; the port's "wait for ever"
  // (0xFFFFFFFF ms) is INFINITE.
  static DWORD WaitMilliseconds(std::chrono::milliseconds timeout) {
    if (timeout.count() <= 0) return 0;
    return static_cast<DWORD>(std::min<long long>(timeout.count(), INFINITE));
  }

  // A completed write has handed its bytes to the driver, which may still
  // hold them in its transmit queue. Waits until the queue is empty, at
  // about the pace the line empties it, until `deadline`: the write has
  // sent its bytes, or reports a time-out at its deadline. (The drain wait
  // FlushFileBuffers offers has no time-out: on a stalled line it would
  // hold the write, and the session, for ever.) A driver that cannot
  // report its queue counts as sent: it still sends what it holds, as
  // nothing is purged after a write that succeeded.
  DeviceError AwaitSent(Steady::time_point deadline, bool* timedOut) {
    for (;;) {
      DWORD errors = 0;
      COMSTAT status{};
      if (!::ClearCommError(handle_.get(), &errors, &status) || status.cbOutQue == 0) {
        outputStuck_ = false;
        return {};
      }
      const auto now = Steady::now();
      if (now >= deadline) {
        *timedOut = true;
        outputStuck_ = true;
        return {};
      }
      // Ten bit times per byte; wake up at least every 10 ms.
      const auto drain = std::chrono::microseconds(std::max<long long>(
          50, 10'000'000LL * status.cbOutQue / std::max<uint32_t>(baudRate_, 1)));
      std::this_thread::sleep_for(
          std::min({std::chrono::duration_cast<Steady::duration>(drain),
                    std::chrono::duration_cast<Steady::duration>(std::chrono::milliseconds(10)),
                    deadline - now}));
    }
  }

  std::string port_;  // "COM<n>" of the last Open; empty for a device named directly
  std::string path_;  // the device this object opens
  uint32_t baudRate_ = 115200;
  bool outputStuck_ = false;  // the last write ran out of time
  UniqueHandle event_;
  UniqueHandle handle_;
};

}  // namespace

std::unique_ptr<SerialDevice> MakeSerialDeviceAt(const std::string& path) {
  return std::make_unique<Win32SerialDevice>(path);
}

}  // namespace tavlink
