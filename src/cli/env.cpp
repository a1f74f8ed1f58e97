#include "cli/env.h"

#include "cli/interrupts.h"
#include "cli/terminal.h"

namespace tavlink::cli {
namespace {

class SystemWallClock final : public WallClock {
 public:
  std::chrono::system_clock::time_point Now() override { return std::chrono::system_clock::now(); }
};

}  // namespace

Env& SystemEnv() {
  static SystemWallClock wallClock;
  static Env env{SystemClock(),
                 RealEventWait(),
                 wallClock,
                 SystemTerminal(),
                 SystemInterrupts(),
                 [] { return MakeSettingStore(); },
                 [](const std::string& path) { return MakeSerialDeviceAt(path); }};
  return env;
}

}  // namespace tavlink::cli
