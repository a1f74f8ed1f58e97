// The station's board on standard error: a live table on a terminal that
// takes escapes, redrawn in place, and prefixed lines elsewhere.

#include "cli/station_board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "support/test_cli_env.h"

namespace tavlink::cli {
namespace {

using std::chrono::seconds;

class StationBoardTest : public ::testing::Test {
 protected:
  std::vector<StationBoard::Receiver> Receivers() const {
    return {{"COM1", "/dev/ttyUSB0"}, {"COM2", "/dev/ttyUSB1"}};
  }
  void Live(int columns) {
    cli_.terminal.errIsTerminal = true;
    cli_.terminal.takesEscapes = true;
    cli_.terminal.columns = columns;
  }
  std::string Err() const { return cli_.terminal.StdErr(); }
  // A row of a connect, as a table 100 columns wide draws it.
  static std::string Row(std::string name, std::string device, std::string status,
                         seconds elapsed = seconds(0)) {
    StationBoard::Row row;
    row.name = std::move(name);
    row.device = std::move(device);
    row.operation = "connect";
    row.status = std::move(status);
    row.elapsed = elapsed;
    return StationBoard::FormatRow(row, 100);
  }

  testing::TestCliEnv cli_;
};

TEST(StationBoardRow, FitsTheTerminalKeepingTheNameAndState) {
  StationBoard::Row row{"COM12",
                        "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00",
                        "Write Factory Data",
                        "Uploading...   block 12/32   error 1",
                        1,
                        std::chrono::seconds(75),
                        ""};
  const std::string wide = StationBoard::FormatRow(row, 200);
  EXPECT_NE(wide.find("Write Factory Data"), std::string::npos) << wide;
  EXPECT_NE(wide.find("block 12/32"), std::string::npos) << wide;
  EXPECT_NE(wide.find("err 1  1:15"), std::string::npos) << wide;
  for (int width = 1; width <= 200; ++width) {
    const std::string line = StationBoard::FormatRow(row, width);
    EXPECT_LE(line.size(), static_cast<size_t>(std::max(width - 1, 1))) << width;
  }
  EXPECT_EQ(StationBoard::FormatRow(row, 40), "COM12  block 12/32       err 1  1:15");
  row.outcome = "failed: no answer";
  EXPECT_NE(StationBoard::FormatRow(row, 40).find("failed: no answer"), std::string::npos);
}

TEST_F(StationBoardTest, LiveTableIsErasedAndRedrawnInPlace) {
  Live(100);
  StationBoard board(cli_.terminal, Receivers(), "connect", true);
  const std::string first = Row("COM1", "/dev/ttyUSB0", "waiting");
  const std::string second = Row("COM2", "/dev/ttyUSB1", "waiting");
  EXPECT_EQ(Err(), first + "\n" + second + "\n");

  board.Output(1).Display().Progress("Connecting...", 0, 0, 0, seconds(3));
  const std::string connecting = Row("COM2", "/dev/ttyUSB1", "Connecting...", seconds(3));
  // Up two rows, clear below, both rows again.
  EXPECT_EQ(Err(), first + "\n" + second + "\n\r\033[2A\033[J" + first + "\n" + connecting + "\n");

  // A message goes above the table, which is drawn again below it; a
  // result goes to standard output.
  const size_t before = Err().size();
  board.Output(0).Message("tavlink-cli: sending the factory data");
  board.Output(0).Result("Software version: SW 1");
  EXPECT_EQ(Err().substr(before), "\r\033[2A\033[J[COM1] tavlink-cli: sending the factory data\n" +
                                      first + "\n" + connecting + "\n\r\033[2A\033[J" + first +
                                      "\n" + connecting + "\n");
  EXPECT_EQ(cli_.terminal.StdOut(), "[COM1] Software version: SW 1\n");

  // Once closed, the table stays as drawn and nothing moves up into it.
  board.Close();
  const size_t closed = Err().size();
  board.Paint();
  board.Output(1).Message("tavlink-cli: after");
  EXPECT_EQ(Err().substr(closed), "[COM2] tavlink-cli: after\n");
}

// Every row fits the terminal's width as it is when the table is drawn.
TEST_F(StationBoardTest, RowsFitTheTerminalsWidth) {
  Live(40);
  StationBoard board(cli_.terminal, {{"/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00", "x"}},
                     "write-factory-data", true);
  board.Output(0).Display().Progress("Uploading...   block 12/32   error 0", 12, 32, 0,
                                     seconds(75));
  cli_.terminal.columns = 25;
  board.Paint();
  const std::string err = Err();
  const size_t resized = err.rfind("\033[J") + 3;
  for (size_t at = 0, end; (end = err.find('\n', at)) != std::string::npos; at = end + 1) {
    std::string row = err.substr(at, end - at);
    if (const size_t clear = row.rfind("\033[J"); clear != std::string::npos)
      row = row.substr(clear + 3);
    EXPECT_LE(row.size(), at >= resized ? 24u : 39u) << row;
  }
}

// Without a terminal each status change is one line with its receiver's
// name; progress alone, ticks and paints show nothing.
TEST_F(StationBoardTest, PrefixedLinesWithoutATerminal) {
  StationBoard board(cli_.terminal, Receivers(), "write-factory-data", false);
  SessionDisplay& display = board.Output(1).Display();
  display.Progress("Uploading...   block 1/32   error 0", 1, 32, 0, seconds(1));
  display.Progress("Uploading...   block 1/32   error 0", 1, 32, 0, seconds(2));
  display.Tick("Uploading...   block 1/32   error 0", 1, 32, 0, seconds(3));
  board.Paint();
  display.Progress("Uploading...   block 2/32   error 0", 2, 32, 0, seconds(4));
  display.Note("Write factory data");
  board.Output(0).Result("Wrote factory data (32 blocks) in 37.2 s");
  board.Finish(1, "succeeded");
  EXPECT_EQ(Err(),
            "[COM2] Uploading...   block 1/32   error 0\n"
            "[COM2] Uploading...   block 2/32   error 0\n"
            "[COM2] Write factory data\n");
  EXPECT_EQ(cli_.terminal.StdOut(), "[COM1] Wrote factory data (32 blocks) in 37.2 s\n");
}

// Between receivers (--repeat) the looks at a line say nothing, and its row
// keeps the last receiver's outcome until the next one starts.
TEST_F(StationBoardTest, QuietOutputKeepsTheLastOutcomeUntilTheNextStart) {
  Live(100);
  StationBoard board(cli_.terminal, {{"COM1", "/dev/ttyUSB0"}}, "connect", true);
  board.Finish(0, "succeeded");
  const size_t finished = Err().size();
  RunOutput& quiet = board.QuietOutput(0);
  quiet.Display().Progress("Connecting...", 0, 0, 0, seconds(1));
  quiet.Display().Note("Connect to the receiver");
  quiet.Message("Connect: Connection error.");
  quiet.Result("Software version: SW 2");
  EXPECT_EQ(Err().size(), finished);
  EXPECT_EQ(cli_.terminal.StdOut(), "");
  board.Paint();
  EXPECT_NE(Err().find("succeeded", finished), std::string::npos) << Err();
  EXPECT_EQ(Err().find("Connecting...", finished), std::string::npos) << Err();

  board.Start(0);
  board.Output(0).Display().Progress("Connecting...", 0, 0, 0, seconds(0));
  const std::string afresh = Err().substr(Err().rfind("\033[J"));
  EXPECT_NE(afresh.find("Connecting..."), std::string::npos) << afresh;
  EXPECT_EQ(afresh.find("succeeded"), std::string::npos) << afresh;
}

}  // namespace
}  // namespace tavlink::cli
