// The report's time stamps against dates counted by hand: the first second
// of 1970, leap days (2000 is a leap year, 2100 is not), the turn of a year,
// January and February (the months that end the calendar's March-based
// year), and times before 1970.

#include "cli/iso_time.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tavlink::cli {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::system_clock;

std::string At(long long secondsSince1970) {
  return IsoTime(system_clock::time_point(seconds(secondsSince1970)));
}

TEST(IsoTime, DatesAroundLeapDaysAndTheTurnOfTheYear) {
  EXPECT_EQ(At(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(At(5011200), "1970-02-28T00:00:00Z");
  EXPECT_EQ(At(946684800), "2000-01-01T00:00:00Z");
  EXPECT_EQ(At(951825600), "2000-02-29T12:00:00Z");
  EXPECT_EQ(At(1709251199), "2024-02-29T23:59:59Z");
  EXPECT_EQ(At(1709251200), "2024-03-01T00:00:00Z");
  EXPECT_EQ(At(1796745637), "2026-12-08T16:00:37Z");
  EXPECT_EQ(At(1798761599), "2026-12-31T23:59:59Z");
  EXPECT_EQ(At(1798761600), "2027-01-01T00:00:00Z");
  EXPECT_EQ(At(4107542399), "2100-02-28T23:59:59Z");
  EXPECT_EQ(At(4107542400), "2100-03-01T00:00:00Z");
}

TEST(IsoTime, TimesBefore1970) {
  EXPECT_EQ(At(-1), "1969-12-31T23:59:59Z");
  EXPECT_EQ(At(-2208988800), "1900-01-01T00:00:00Z");
  // 1700 is no leap year (the clock reaches back to 1677).
  EXPECT_EQ(At(-8515238401), "1700-02-28T23:59:59Z");
  EXPECT_EQ(At(-8515216372), "1700-03-01T06:07:08Z");
}

TEST(IsoTime, PartsOfASecondAreCutOffTowardsThePast) {
  const system_clock::time_point epoch{};
  EXPECT_EQ(IsoTime(epoch + milliseconds(999)), "1970-01-01T00:00:00Z");
  EXPECT_EQ(IsoTime(epoch - milliseconds(500)), "1969-12-31T23:59:59Z");
}

}  // namespace
}  // namespace tavlink::cli
