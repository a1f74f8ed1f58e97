// The channel editor's Win32 window under Wine against tavlink-sim, in real
// time: Wine's COM1 leads to a link that the simulator makes to its
// pseudo-terminal, and the Windows test program of the editor's windows
// (tavlink_editor_win32_tests.exe) runs its EditorReceiverTest cases with
// the port in the environment: Write to Receiver reads the receiver's list
// first, shows the preview, writes and verifies. Afterwards the
// simulator's log shows what reached the line: two reads and the factory
// write between them.
//
// Needs the Windows build, its Wine prefix, the Linux simulator and an X
// display (DISPLAY; scripts/test-windows runs Xvfb); without them the test
// is skipped, unless TAVLINK_WINE_REQUIRED is set.

#include <gtest/gtest.h>

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

std::string Missing() {
  std::string missing = testing::WineMissing({"tavlink_editor_win32_tests.exe"});
  if (missing.empty() && !fs::exists(testing::BinDir() / "tavlink-sim"))
    missing = "no " + (testing::BinDir() / "tavlink-sim").string() + " (the Linux build)";
  const char* display = std::getenv("DISPLAY");
  if (missing.empty() && (display == nullptr || *display == '\0'))
    missing = "no X display for Wine's windows (DISPLAY)";
  return missing;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(WineEditorTest, ChannelEditorWritesWithAPreviewAndVerifiesAgainstTheSimulator) {
  if (const std::string missing = Missing(); !missing.empty()) {
    if (testing::WineRequired()) FAIL() << missing;
    GTEST_SKIP() << missing;
  }
  testing::UseWinePrefix(true);
  const testing::TempFolder folder;
  ASSERT_FALSE(folder.path().empty());
  const std::string link = folder.File("com1");
  // The simulator removes its link as it ends, before the folder goes.
  testing::SimProcess sim({"--log", "--link", link});
  ASSERT_FALSE(sim.DevicePath().empty());
  ASSERT_TRUE(testing::LeadWineComPortTo(kPort, link));

  ChildProcess windows({"wine", testing::WindowsProgram("tavlink_editor_win32_tests.exe").string(),
                        "--gtest_filter=EditorReceiverTest.*"},
                       {{"TAVLINK_RECEIVER_PORT", std::to_string(kPort)}});
  const int status = windows.Wait(std::chrono::seconds(400));
  testing::RunWineTool(
      {"wine", "reg", "delete", "HKLM\\Software\\Wine\\Ports", "/v", "COM1", "/f"});

  EXPECT_EQ(status, 0) << windows.Output() << windows.Errors();
  EXPECT_NE(windows.Output().find("[  PASSED  ] 1 test."), std::string::npos) << windows.Output();
  const std::string log = sim.Stderr();
  EXPECT_EQ(Count(log, "PC -> RX  FC_USERDATA"), 2u) << log;  // the read first, the read back
  EXPECT_NE(log.find("PC -> RX  FC_FACTORY"), std::string::npos) << log;
  EXPECT_EQ(log.find("line settings wrong"), std::string::npos) << log;
}

}  // namespace
}  // namespace tavlink
