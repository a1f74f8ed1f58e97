// The desktop tool's Win32 windows under Wine against tavlink-sim, in real
// time: Wine's COM1 leads to a link that the simulator makes to its
// pseudo-terminal, and the Windows test program of the windows
// (tavlink_win32_ui_tests.exe) runs its ReceiverTest cases with the
// simulator's port, versions and user data in the environment: Setup Comm
// and Connect, Read User Data saved byte for byte, and Write Factory Data
// with a bad text. Afterwards the simulator's log shows what reached the
// line: the connect and the read, and no factory write.
//
// Needs the Windows build, its Wine prefix, the Linux simulator and an X
// display (DISPLAY; scripts/test-windows runs Xvfb); without them the test
// is skipped, unless TAVLINK_WINE_REQUIRED is set.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "support/paths.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"
#include "support/wine_prefix.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::ChildProcess;

constexpr int kPort = 1;
constexpr const char* kSoftware = "ZOR DSR-5100 SW 1.06";
constexpr const char* kHardware = "ZOR DSR-5100 rev.C";

std::string Missing() {
  std::string missing = testing::WineMissing({"tavlink_win32_ui_tests.exe"});
  if (missing.empty() && !fs::exists(testing::BinDir() / "tavlink-sim"))
    missing = "no " + (testing::BinDir() / "tavlink-sim").string() + " (the Linux build)";
  const char* display = std::getenv("DISPLAY");
  if (missing.empty() && (display == nullptr || *display == '\0'))
    missing = "no X display for Wine's windows (DISPLAY)";
  return missing;
}

TEST(WineGuiTest, DesktopToolConnectsReadsAndRefusesABadTextAgainstTheSimulator) {
  if (const std::string missing = Missing(); !missing.empty()) {
    if (testing::WineRequired()) FAIL() << missing;
    GTEST_SKIP() << missing;
  }
  testing::UseWinePrefix(true);
  const testing::TempFolder folder;
  ASSERT_FALSE(folder.path().empty());
  const std::string link = folder.File("com1");
  // The simulator removes its link as it ends, before the folder goes.
  testing::SimProcess sim(
      {"--log", "--link", link, "--software", kSoftware, "--hardware", kHardware});
  ASSERT_FALSE(sim.DevicePath().empty());
  ASSERT_TRUE(testing::LeadWineComPortTo(kPort, link));

  ChildProcess windows(
      {"wine", testing::WindowsProgram("tavlink_win32_ui_tests.exe").string(),
       "--gtest_filter=ReceiverTest.*"},
      {{"TAVLINK_RECEIVER_PORT", std::to_string(kPort)},
       {"TAVLINK_RECEIVER_SOFTWARE", kSoftware},
       {"TAVLINK_RECEIVER_HARDWARE", kHardware},
       {"TAVLINK_RECEIVER_DATA_TEXT", testing::WindowsPath(testing::SampleDataText())}});
  const int status = windows.Wait(std::chrono::seconds(300));
  testing::RunWineTool(
      {"wine", "reg", "delete", "HKLM\\Software\\Wine\\Ports", "/v", "COM1", "/f"});

  EXPECT_EQ(status, 0) << windows.Output() << windows.Errors();
  EXPECT_NE(windows.Output().find("[  PASSED  ] 3 tests."), std::string::npos) << windows.Output();
  const std::string log = sim.Stderr();
  EXPECT_NE(log.find("PC -> RX  FC_CONNECT"), std::string::npos) << log;
  EXPECT_NE(log.find("PC -> RX  FC_USERDATA"), std::string::npos) << log;
  EXPECT_EQ(log.find("PC -> RX  FC_FACTORY"), std::string::npos) << log;
  EXPECT_EQ(log.find("line settings wrong"), std::string::npos) << log;
}

}  // namespace
}  // namespace tavlink
