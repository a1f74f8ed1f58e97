// tavlink-cli on a technician's terminal (a pseudo-terminal of its own)
// against tavlink-sim: the live line fits the terminal and follows a resize.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/sim_process.h"
#include "support/temp_folder.h"
#include "support/terminal_process.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::SimProcess;
using testing::TerminalProcess;

// What a terminal shows as separate lines: split at CR and LF, with the
// "erase to the end of the line" escapes taken out.
std::vector<std::string> ShownLines(const std::string& raw) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw.compare(i, 3, "\033[K") == 0) {
      i += 2;
    } else if (raw[i] == '\r' || raw[i] == '\n') {
      lines.emplace_back();
    } else {
      lines.back() += raw[i];
    }
  }
  return lines;
}

TEST(CliTerminalTest, LiveLineFitsANarrowTerminalAndFollowsAResize) {
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  ASSERT_FALSE(dir.empty());
  SimProcess sim({"--log"});
  ASSERT_FALSE(sim.DevicePath().empty());
  TerminalProcess cli(
      {"--device", sim.DevicePath(), "--yes", "read-user-data", (dir / "user.txt").string()}, 40,
      dir);
  ASSERT_TRUE(cli.WaitFor("block 10/32")) << cli.Shown();
  const size_t before = cli.Shown().size();
  cli.Resize(30);
  EXPECT_EQ(cli.Wait(), 0) << cli.Shown();
  const std::string shown = cli.Shown();

  for (const std::string& line : ShownLines(shown.substr(0, before)))
    EXPECT_LE(line.size(), 40u) << line;
  // The line drawn after the resize (the next second at the latest) fits
  // the new width.
  const size_t redrawn = shown.find("block 14/32", before);
  ASSERT_NE(redrawn, std::string::npos) << shown;
  for (const std::string& line : ShownLines(shown.substr(redrawn))) {
    if (line.rfind("Saved ", 0) == 0) continue;  // the result, not the live line
    EXPECT_LE(line.size(), 30u) << line;
  }
  EXPECT_NE(shown.find("Saved 3 satellites, 9 transponders and 16 services"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir / "user.txt"), ReadBytes(testing::SampleDataText()));
}

}  // namespace
}  // namespace tavlink
