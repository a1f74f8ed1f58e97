// The writer's exact output, against texts written out in full (CR LF line
// ends as they land in the file).

#include "data/data_text_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "data/block_builder.h"
#include "data/data_text_golden.h"

namespace tavlink {
namespace {

using testing::kBannerA;
using testing::kBannerB;
using testing::kBannerC;
using testing::kBannerD;
using testing::MakeBlock;
using testing::SetSatellite;
using testing::SetService;
using testing::SetTransponder;

std::string Write(const ReceiverDataBlock& block) {
  StringTextOutput out;
  EXPECT_EQ(WriteDataText(block, out), 0);
  return out.str();
}

TEST(DataTextWriter, EmptyBlockWithoutAntennaGivesBannersACAndD) {
  auto block = MakeBlock();
  block->FinishHeader(0, 0, 0, -1);
  EXPECT_EQ(Write(*block), std::string(kBannerA) + kBannerC + kBannerD);
}

TEST(DataTextWriter, AntennaValueGivesBannerBAndAntennaLine) {
  auto block = MakeBlock();
  block->FinishHeader(0, 0, 0, 3);
  EXPECT_EQ(Write(*block),
            std::string(kBannerA) + kBannerB + "a         3\r\n\r\n" + kBannerC + kBannerD);
}

TEST(DataTextWriter, InvalidBlockWritesNothing) {
  auto block = MakeBlock();
  StringTextOutput out;
  EXPECT_EQ(WriteDataText(*block, out), 1);  // never filled
  block->FinishHeader(0, 0, 0, -1);
  block->bytes()[4] = 'E';  // "evilEyes": one letter's case differs
  EXPECT_EQ(WriteDataText(*block, out), 1);
  EXPECT_EQ(out.str(), "");
}

TEST(DataTextWriter, SatelliteLineIsPaddedAndLastFieldIsNot) {
  auto block = MakeBlock();
  SetSatellite(*block, 0, "ASTRA DEF", 9750, 10600, 192,
               sat_flag::kUniversalLnb | sat_flag::kDiseqcGiven);
  block->FinishHeader(1, 0, 0, -1);
  const std::string expected =
      "  s       \"ASTRA DEF\"     9750      10600     universal 19.2      east      a         "
      "none      none      none\r\n";
  EXPECT_EQ(Write(*block), std::string(kBannerA) + kBannerC + expected + kBannerD);
}

TEST(DataTextWriter, SatelliteSettingsAndAngleSpellings) {
  auto block = MakeBlock();
  using namespace sat_flag;
  SetSatellite(*block, 0, "", 10750, 0, 6 | kWestBit,
               kDiseqcGiven | (3u << kDiseqcShift) | kToneGiven | kToneOn | kSwitch12Given |
                   kVoltageGiven | kVoltage18 | 0xFFFFFC00u);
  SetSatellite(*block, 1, "HOTBIRD", 9750, 10600, 1800,
               kToneGiven | kSwitch12Given | kSwitch12On | kVoltageGiven);
  block->FinishHeader(2, 0, 0, -1);
  const std::string expected =
      "  s       \"\"              10750     0         normal    0.6       west      d         "
      "22        0         18\r\n"
      "  s       \"HOTBIRD\"       9750      10600     normal    180.0     east      none      "
      "0         12        14\r\n";
  EXPECT_EQ(Write(*block), std::string(kBannerA) + kBannerC + expected + kBannerD);
}

TEST(DataTextWriter, TranspondersAreGroupedUnderTheirSatellite) {
  auto block = MakeBlock();
  SetSatellite(*block, 0, "A", 9750, 10600, 130, 0);
  SetSatellite(*block, 1, "B", 9750, 10600, 192, 0);
  using namespace tp_flag;
  SetTransponder(*block, 0, 11000, 27500, kHorizontal | (1 << kFecShift), 1);
  SetTransponder(*block, 1, 12000, 22000, kTone22 | kVoltage18 | kSwitch12 | (5 << kFecShift), 0);
  SetTransponder(*block, 2, 12100, 30000, 7 << kFecShift, 1);
  SetTransponder(*block, 3, 12200, 30000, 0, 2);  // no written satellite owns it
  block->FinishHeader(2, 4, 0, -1);
  const std::string expected =
      "  s       \"A\"             9750      10600     normal    13.0      east      none      "
      "none      none      none\r\n"
      "      t   12000           22000     ver       22        18        12        7/8\r\n"
      "  s       \"B\"             9750      10600     normal    19.2      east      none      "
      "none      none      none\r\n"
      "      t   11000           27500     hor       0         14        0         1/2\r\n"
      "      t   12100           30000     ver       0         14        0         fec7\r\n";
  EXPECT_EQ(Write(*block), std::string(kBannerA) + kBannerC + expected + kBannerD);
}

TEST(DataTextWriter, ServiceNamesItsTransponderBySatelliteAndPosition) {
  auto block = MakeBlock();
  SetSatellite(*block, 0, "A", 9750, 10600, 130, 0);
  SetSatellite(*block, 1, "B", 9750, 10600, 192, 0);
  SetTransponder(*block, 0, 11000, 27500, 0, 1);
  SetTransponder(*block, 1, 11100, 27500, 0, 0);
  SetTransponder(*block, 2, 11200, 27500, 0, 1);
  SetTransponder(*block, 3, 11300, 27500, 0, 1);  // third of satellite index 1
  SetService(*block, 0, {"ZDF On-line", 3, 28006, 110, 120, 130, 140, service_flag::kFavorite});
  SetService(*block, 1,
             {"Radio 13 char", static_cast<uint16_t>(1 | kRadioBit), 65535, 8191, 0, 0, 0,
              0xFFF8 | service_flag::kScramble | service_flag::kLock});
  block->FinishHeader(2, 4, 2, -1);
  const std::string out = Write(*block);
  const std::string services =
      "  v       \"ZDF On-line\"   2         3         28006     110       120       130       "
      "140       0         1         0\r\n"
      "  r       \"Radio 13 char\" 1         1         65535     8191      0         0         "
      "0         1         0         1\r\n";
  ASSERT_GE(out.size(), services.size());
  EXPECT_EQ(out.substr(out.size() - services.size()), services);
}

TEST(DataTextWriter, OutOfRangeCountsAndReferencesStayInsideTheBlock) {
  auto block = MakeBlock();
  SetTransponder(*block, 0, 11000, 27500, 6 << tp_flag::kFecShift, 0);
  SetService(*block, 0, {"Dangling", 5, 1, 2, 3, 4, 5, 0});
  SetService(*block, 1, {"Max entry", kTpEntryMask, 1, 2, 3, 4, 5, 0});
  block->FinishHeader(1000, 1, 2, -1);  // 1000 satellites: clamped to 106 empty records
  std::string out = Write(*block);
  EXPECT_NE(out.find("         fec6\r\n"), std::string::npos);
  EXPECT_NE(out.find("  v       \"Dangling\"      0         0         1 "), std::string::npos);
  EXPECT_NE(out.find("  v       \"Max entry\"     0         0         1 "), std::string::npos);

  block->FinishHeader(-5, 0x7FFFFFFF, -1, -1);  // negative counts write nothing
  out = Write(*block);
  EXPECT_EQ(out, std::string(kBannerA) + kBannerC + kBannerD);
}

// The first entry past the table is outside it too.
TEST(DataTextWriter, ServiceWhoseEntryEqualsTheTransponderCountIsWrittenAsSatelliteZero) {
  auto block = MakeBlock();
  SetSatellite(*block, 0, "A", 9750, 10600, 130, 0);
  SetTransponder(*block, 0, 11000, 27500, 0, 0);
  SetTransponder(*block, 1, 11100, 27500, 0, 0);  // a record, but not counted
  SetService(*block, 0, {"Last+1", 2, 7, 1, 2, 3, 4, 0});
  SetService(*block, 1, {"Last", 1, 8, 1, 2, 3, 4, 0});
  block->FinishHeader(1, 2, 2, -1);
  const std::string first = Write(*block);
  EXPECT_NE(first.find("  v       \"Last+1\"        0         0         7 "), std::string::npos)
      << first;
  EXPECT_NE(first.find("  v       \"Last\"          1         2         8 "), std::string::npos)
      << first;
}

TEST(DataTextWriter, NameWithoutZeroByteIsCutAtItsField) {
  auto block = MakeBlock();
  SatelliteRecord sat = block->satellite(0);
  for (int i = 0; i < 12; ++i) sat.data()[12 + i] = 'X';  // name and the reserved bytes after it
  block->FinishHeader(1, 0, 0, -1);
  EXPECT_NE(Write(*block).find("  s       \"XXXXXXXXXX\"    0 "), std::string::npos);
}

}  // namespace
}  // namespace tavlink
