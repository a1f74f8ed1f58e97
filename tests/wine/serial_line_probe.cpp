// The Windows half of the serial line tests that run under Wine: opens
// COM<n> through SerialPort and the Win32 backend, set up as the transfer
// dialog sets up its port, and plays one scenario against the Linux test
// that holds the pseudo-terminal behind that port.
//
//   serial_line_probe.exe <scenario> <port number>
//
// Every device error box is printed to standard output as "box: <text>"
// (new lines as " | "). Exit code 0 when the scenario went as expected, 1
// when not (with the reason on standard error), 2 for a wrong command line.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/port_names.h"
#include "link/serial_port.h"

namespace tavlink {
namespace {

class PrintingReporter final : public ErrorReporter {
 public:
  void ShowError(std::string_view, std::string_view text) override {
    std::string line(text);
    for (size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at))
      line.replace(at, 1, " | ");
    std::printf("box: %s\n", line.c_str());
    std::fflush(stdout);
    ++boxes;
  }
  int boxes = 0;
};

struct Probe {
  int portNumber = 0;
  PrintingReporter reporter;
  SerialPort port{MakeSerialDeviceAt(DefaultComDevicePath(portNumber)), SystemClock(), reporter};

  explicit Probe(int n) : portNumber(n) {
    port.Initialize(portNumber, 8192, 8192);
    port.SetMode("96,n,8,1");
    port.SetTimeout(20000);
    port.SetDriverTimeouts(0xFFFFFFFF, 0, 0, 0, 0);
  }
};

[[nodiscard]] bool Fail(const std::string& why) {
  std::fprintf(stderr, "serial_line_probe: %s\n", why.c_str());
  return false;
}

bool Send(SerialPort& port, const std::string& bytes) {
  uint32_t written = 0;
  if (port.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), &written) != 1)
    return Fail("write of " + std::to_string(bytes.size()) + " bytes failed after " +
                std::to_string(written));
  return true;
}

bool Expect(SerialPort& port, const std::string& bytes) {
  std::string got(bytes.size(), '\0');
  uint32_t n = 0;
  if (port.Read(got.data(), static_cast<uint32_t>(got.size()), &n) != 1)
    return Fail("read of " + std::to_string(bytes.size()) + " bytes got " + std::to_string(n));
  if (got != bytes) return Fail("read other bytes than expected");
  return true;
}

// 115200 baud, then 19200 after a close and reopen; the test checks the
// line after each marker byte and answers with the next letter.
bool LineSettings(Probe& p) {
  if (p.port.Open() != 1) return Fail("open at 115200 failed");
  if (!Send(p.port, "A") || !Expect(p.port, "B")) return false;
  if (p.port.Close() == 0) return Fail("close failed");
  if (p.port.Open(19200) != 1) return Fail("open at 19200 failed");
  return Send(p.port, "C") && Expect(p.port, "D");
}

// Every byte value goes out; what comes back is echoed.
bool Bytes(Probe& p) {
  std::string all(256, '\0');
  for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
  if (p.port.Open() != 1) return Fail("open failed");
  if (!Send(p.port, all)) return false;
  std::string back(256, '\0');
  uint32_t n = 0;
  if (p.port.Read(back.data(), 256, &n) != 1) return Fail("read got " + std::to_string(n));
  return Send(p.port, back);
}

// Twelve bytes asked, five come: the read ends after its time-out with
// those five.
bool PartialRead(Probe& p) {
  p.port.SetTimeout(1000);
  if (p.port.Open() != 1) return Fail("open failed");
  if (!Send(p.port, "R")) return false;
  char buf[12] = {};
  uint32_t got = 0;
  if (p.port.Read(buf, 12, &got) != 0) return Fail("read of 12 succeeded");
  if (got != 5 || std::string(buf, 5) != "12345") return Fail("got " + std::to_string(got));
  return true;
}

// 8,192 bytes written and the port closed at once: the test reads them all
// after this program has ended.
bool LateReader(Probe& p) {
  std::string sent(8192, '\0');
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 + i / 251);
  if (p.port.Open() != 1) return Fail("open failed");
  return Send(p.port, sent) && p.port.Close() != 0;
}

// A stopped operation's FC_ABORT, then the close, many times over.
bool AbortThenClose(Probe& p) {
  for (int i = 0; i < 200; ++i) {
    if (p.port.Open() != 1) return Fail("open failed in round " + std::to_string(i));
    SendCode(p.port, FC_ABORT);
    if (p.port.Close() == 0) return Fail("close failed in round " + std::to_string(i));
  }
  return true;
}

// Input that was not read is gone after a close: "s" of "stale" is read,
// "tale" is left, and after the reopen only "fresh" arrives.
bool CloseDropsUnreadInput(Probe& p) {
  if (p.port.Open() != 1) return Fail("open failed");
  if (!Send(p.port, "S") || !Expect(p.port, "s")) return false;
  if (p.port.Close() == 0) return Fail("close failed");
  if (p.port.Open() != 1) return Fail("reopen failed");
  return Send(p.port, "F") && Expect(p.port, "fresh");
}

// The port cannot be opened: Open fails with one box.
bool OpenFails(Probe& p) {
  if (p.port.Open() != 0) return Fail("open succeeded");
  if (p.reporter.boxes != 1) return Fail(std::to_string(p.reporter.boxes) + " boxes");
  return p.port.IsInitialized() && !p.port.IsOpen();
}

int Main(int argc, char** argv) {
  const std::map<std::string, std::function<bool(Probe&)>> scenarios = {
      {"line-settings", LineSettings},
      {"bytes", Bytes},
      {"partial-read", PartialRead},
      {"late-reader", LateReader},
      {"abort-then-close", AbortThenClose},
      {"close-drops-unread-input", CloseDropsUnreadInput},
      {"open-fails", OpenFails},
  };
  const auto scenario = argc == 3 ? scenarios.find(argv[1]) : scenarios.end();
  const int portNumber = argc == 3 ? std::atoi(argv[2]) : 0;
  if (scenario == scenarios.end() || portNumber <= 0) {
    std::fprintf(stderr, "usage: serial_line_probe <scenario> <port number>\n");
    return 2;
  }
  auto probe = std::make_unique<Probe>(portNumber);
  const bool ok = scenario->second(*probe);
  probe.reset();  // closes the port before the exit code is known outside
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace tavlink

int main(int argc, char** argv) {
  return tavlink::Main(argc, argv);
}
