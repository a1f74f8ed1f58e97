// The live progress line: what it shows, and that it never fills a line.

#include "cli/progress_meter.h"

#include <gtest/gtest.h>

namespace tavlink::cli {
namespace {

using std::chrono::seconds;

TEST(ProgressLine, ShowsTheStatusBarPercentageAndTimes) {
  EXPECT_EQ(FormatProgressMeter("Uploading...   block 3/32   error 0", 3, 32, seconds(5),
                                seconds(48), 80),
            "Uploading...   block 3/32   error 0  [#................]    9%  0:05  0:48 left");
  // Nothing known of the length: no bar, no percentage.
  EXPECT_EQ(FormatProgressMeter("Connecting...", 0, 0, seconds(2), std::nullopt, 80),
            "Connecting...  0:02");
}

TEST(ProgressLine, NeverReachesTheLastColumnHoweverNarrow) {
  const std::string status = "Downloading...   block 12/32   err.count 1";
  for (int width = 1; width <= 120; ++width) {
    const std::string line =
        FormatProgressMeter(status, 12, 32, seconds(3725), seconds(600), width);
    EXPECT_LE(line.size(), static_cast<size_t>(std::max(width - 1, 1))) << width;
    EXPECT_EQ(line.substr(0, std::min<size_t>(line.size(), 5)),
              status.substr(0, std::min<size_t>(line.size(), 5)))
        << "the status leads, at " << width;
  }
  // At 40 columns the counts and the percentage stay, the bar goes, and the
  // status's blanks close up.
  EXPECT_EQ(FormatProgressMeter(status, 12, 32, seconds(5), seconds(8), 40),
            "Downloading... block 12/32 err.count 1");
  EXPECT_EQ(
      FormatProgressMeter("Uploading...   block 3/32   error 0", 3, 32, seconds(5), seconds(8), 40),
      "Uploading... block 3/32 error 0  9%");
  EXPECT_EQ(FormatProgressMeter(status, 12, 32, seconds(5), seconds(8), 30),
            "Downloading... block 12/32 er");
  EXPECT_EQ(FormatProgressMeter(status, 12, 32, seconds(5), seconds(8), 60),
            "Downloading...   block 12/32   err.count 1   37%  0:05");
}

TEST(ProgressLine, TimesAndWhatIsLeft) {
  EXPECT_EQ(FormatDuration(seconds(0)), "0:00");
  EXPECT_EQ(FormatDuration(seconds(754)), "12:34");
  EXPECT_EQ(FormatDuration(seconds(3723)), "1:02:03");
  EXPECT_EQ(TimeLeft(0, 32, seconds(10)), std::nullopt);
  EXPECT_EQ(TimeLeft(8, 32, seconds(10)), seconds(30));
  EXPECT_EQ(TimeLeft(32, 32, seconds(10)), seconds(0));
  EXPECT_EQ(TimeLeft(5, 0, seconds(10)), std::nullopt);
}

}  // namespace
}  // namespace tavlink::cli
