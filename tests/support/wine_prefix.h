#pragma once
// What a Linux test needs to run the Windows build's programs under Wine:
// where they are, the private Wine prefix, Windows paths for Linux files,
// and a COM port of that prefix led to a Linux device.
//
// The programs are looked for in TAVLINK_WINDOWS_BIN_DIR and the prefix in
// WINEPREFIX; the defaults are compiled in (the source tree's
// build-windows/bin and build-windows/wineprefix). A test without them is
// skipped, unless TAVLINK_WINE_REQUIRED is set, as scripts/test-windows
// does.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/paths.h"

namespace tavlink::testing {

inline std::filesystem::path WindowsProgram(const std::string& name) {
  return FromEnvironmentOr("TAVLINK_WINDOWS_BIN_DIR", TAVLINK_DEFAULT_WINDOWS_BIN_DIR) / name;
}

inline std::string WinePrefix() {
  return FromEnvironmentOr("WINEPREFIX", TAVLINK_DEFAULT_WINEPREFIX).string();
}

inline bool WineRequired() {
  return std::getenv("TAVLINK_WINE_REQUIRED") != nullptr;
}

// Why the Windows programs `names` cannot run under Wine here; empty when
// they can.
inline std::string WineMissing(std::initializer_list<std::string> names) {
  for (const std::string& name : names)
    if (!std::filesystem::exists(WindowsProgram(name)))
      return "no " + WindowsProgram(name).string() + ": run scripts/build-windows";
  if (!std::filesystem::exists(WinePrefix() + "/system.reg"))
    return "no Wine prefix " + WinePrefix() + ": run scripts/test-windows";
  return {};
}

// Sets this process up (and so its children) to run Wine in the prefix,
// quietly, and without a display unless `display` (windows need one: the
// X display of DISPLAY).
inline void UseWinePrefix(bool display = false) {
  ::setenv("WINEPREFIX", WinePrefix().c_str(), 1);
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
  if (!display) ::unsetenv("DISPLAY");
}

// Wine starts its services at the first program of a prefix: give it time.
inline constexpr auto kWineStartTime = std::chrono::seconds(60);

// Runs a Wine tool ("wine", "reg", ...) to its end; its exit status.
inline int RunWineTool(const std::vector<std::string>& argv) {
  return ChildProcess(argv).Wait(kWineStartTime);
}

// Leads the prefix's COM<port> to the Linux device `device` (a
// pseudo-terminal, or a link to one made later). Wine's mount manager links
// COM<n> to the device that the registry value HKLM\Software\Wine\Ports
// names each time the prefix starts, so a link of one's own would not last:
// the value is set, and the running server is let end so that the next
// program starts the prefix anew. True when both worked.
inline bool LeadWineComPortTo(int port, const std::string& device) {
  return RunWineTool({"wine", "reg", "add", "HKLM\\Software\\Wine\\Ports", "/v",
                      "COM" + std::to_string(port), "/d", device, "/f"}) == 0 &&
         RunWineTool({"wineserver", "-w"}) == 0;
}

// The Windows path of a Linux file: Wine's drive Z: is the root folder.
inline std::string WindowsPath(const std::filesystem::path& path) {
  std::string windows = "Z:" + std::filesystem::absolute(path).string();
  for (char& c : windows)
    if (c == '/') c = '\\';
  return windows;
}

}  // namespace tavlink::testing
