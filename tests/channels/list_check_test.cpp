// The check of a whole list: each way a block can break what the text
// carries, the problem's words and kind, and that the kind tells the truth
// about the text (refused: the reader refuses it; not in text: it is read
// back as another list).

#include "channels/list_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "channels/golden_block.h"
#include "channels/reader_model.h"

namespace tavlink::channels {
namespace {

using namespace testing;
using Kind = Problem::Kind;

struct Damage {
  const char* name;
  std::function<void(ReceiverDataBlock&)> damage;
  Kind kind;
  std::string text;
};

void PrintTo(const Damage& damage, std::ostream* out) {
  *out << damage.name;
}

class CheckTest : public ::testing::TestWithParam<Damage> {};

TEST(ListCheck, FindsNothingInTheGoldenBlock) {
  EXPECT_TRUE(CheckList(ChannelList::FromBlock(*GoldenBlock())).empty());
  EXPECT_TRUE(CheckList(ChannelList()).empty());
}

TEST_P(CheckTest, ListsTheProblemAndItsKindTellsTheTruth) {
  auto block = GoldenBlock();
  GetParam().damage(*block);
  const std::vector<Problem> problems = CheckList(ChannelList::FromBlock(*block));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].kind, GetParam().kind);
  EXPECT_EQ(problems[0].text, GetParam().text);

  StringTextOutput text;
  const bool written = WriteDataText(*block, text) == 0;
  ReceiverDataBlock read;
  const bool readBack = written && ReadIntoZeroBlock(text.str(), &read);
  if (GetParam().kind == Kind::kRefused) {
    EXPECT_FALSE(readBack);
  } else {
    ASSERT_TRUE(readBack);
    const auto content = TextContentOf(*block);
    const bool same = std::memcmp(read.bytes(), content->bytes(), ReceiverDataBlock::kSize) == 0 &&
                      read.sat_count() == block->sat_count() &&
                      read.tp_count() == block->tp_count();
    EXPECT_FALSE(same);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Problems, CheckTest,
    ::testing::Values(
        Damage{
            "SatelliteNameWithoutZeroByte",
            [](ReceiverDataBlock& b) { std::memcpy(b.satellite(0).data() + 12, "ASTRA19E2E", 10); },
            Kind::kRefused, "satellite 1 \"ASTRA19E2E\": name must be at most 9 characters"},
        Damage{"SatelliteNameWithQuote",
               [](ReceiverDataBlock& b) { b.satellite(1).set_name("HOT\"BIRD"); }, Kind::kRefused,
               "satellite 2 \"HOT\"BIRD\": name must not contain a double quote"},
        Damage{"AngleAbove180", [](ReceiverDataBlock& b) { b.satellite(1).set_position(1801); },
               Kind::kRefused, "satellite 2 \"HOTBIRD\": angle must be 0.0 to 180.0 (it is 180.1)"},
        Damage{"ToneValueWithoutSetting",
               [](ReceiverDataBlock& b) {
                 b.satellite(2).set_sat_flags(b.satellite(2).sat_flags() | sat_flag::kToneOn);
               },
               Kind::kNotInText,
               "satellite 3 \"THOR\": 22KHz is none but its value bits are set in sat_flags"},
        Damage{"Fec6",
               [](ReceiverDataBlock& b) { b.transponder(1).set_tp_flags(6 << tp_flag::kFecShift); },
               Kind::kRefused,
               "transponder 12111 V (number 1 of satellite 2): FEC must be auto, 1/2, 2/3, 3/4, "
               "5/6 or 7/8 (it is fec6)"},
        Damage{"TransponderOfNoSatellite",
               [](ReceiverDataBlock& b) { b.transponder(1).set_owner_sat(200); }, Kind::kNotInText,
               "transponder 12111 V (table position 2): belongs to no satellite (owner_sat 200), "
               "the writer leaves it out"},
        Damage{"PidAbove8191", [](ReceiverDataBlock& b) { b.service(0).set_video_pid(9000); },
               Kind::kRefused, "service 1 \"ZDF\": video_pid must be 0 to 8191 (it is 9000)"},
        Damage{"ServiceNameWithLineFeed",
               [](ReceiverDataBlock& b) { b.service(2).set_name("NRK\n1"); }, Kind::kRefused,
               "service 3 \"NRK\n1\": name must not contain a line feed"},
        Damage{"TpEntryBeyondTheTable",
               [](ReceiverDataBlock& b) { b.service(1).set_tp_word(0x8000 | 50); }, Kind::kRefused,
               "service 2 \"ARD\": The satellite or transponder is not valid. (tp_entry names no "
               "transponder)"},
        Damage{"AntennaConfig12", [](ReceiverDataBlock& b) { b.set_antenna_config(12); },
               Kind::kRefused, "antenna_config must be -1 to 8 (it is 12)"},
        Damage{"MagicBroken", [](ReceiverDataBlock& b) { b.bytes()[0] = 'E'; }, Kind::kRefused,
               "block: the magic is not \"evileyes\", the writer writes no text"}),
    [](const ::testing::TestParamInfo<Damage>& info) { return info.param.name; });

TEST(ListCheck, ListsEveryProblemNotOnlyTheFirst) {
  auto block = GoldenBlock();
  block->set_antenna_config(-7);
  block->satellite(0).set_position(3000);
  block->transponder(3).set_owner_sat(255);  // NRK1's transponder
  block->service(1).set_audio_pid(8192);
  const std::vector<Problem> problems = CheckList(ChannelList::FromBlock(*block));
  std::vector<std::string> texts;
  for (const Problem& p : problems) texts.push_back(p.text);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "antenna_config must be -1 to 8 (it is -7)",
                       "satellite 1 \"ASTRA\": angle must be 0.0 to 180.0 (it is 300.0)",
                       "transponder 10872 V (table position 4): belongs to no satellite "
                       "(owner_sat 255), the writer leaves it out",
                       "service 2 \"ARD\": audio_pid must be 0 to 8191 (it is 8192)",
                       "service 3 \"NRK1\": The satellite or transponder is not valid. (its "
                       "transponder 10872 V belongs to no satellite)",
                   }));
  EXPECT_EQ(problems[4].place, Problem::Place::kService);
  EXPECT_EQ(problems[4].field, "sat_index");
  EXPECT_EQ(problems[4].position, 2);
}

TEST(ListCheck, ACountOutsideTheTableIsNotInTheText) {
  auto block = std::make_unique<ReceiverDataBlock>();
  block->FinishHeader(-5, 0, 0, -1);
  const std::vector<Problem> problems = CheckList(ChannelList::FromBlock(*block));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].kind, Kind::kNotInText);
  EXPECT_EQ(problems[0].field, "sat_count");
  EXPECT_EQ(problems[0].text, "block: sat_count is -5, outside 0 to 106");
}

// A service can name only the first 256 transponders of its satellite.
TEST(ListCheck, AServiceBeyondTheTwoHundredFiftySixthTransponder) {
  auto block = std::make_unique<ReceiverDataBlock>();
  block->satellite(0).set_name("BUSY");
  for (int i = 0; i < 257; ++i)
    block->transponder(i).set_frequency(static_cast<uint16_t>(10000 + i));
  block->service(0).set_name("LAST");
  block->service(0).set_tp_word(256);
  block->service(1).set_name("FIRST");
  block->FinishHeader(1, 257, 2, -1);
  const std::vector<Problem> problems = CheckList(ChannelList::FromBlock(*block));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].text,
            "service 1 \"LAST\": tp_index must be 1 to 256 (its transponder 10256 V is number 257 "
            "of its satellite)");
  StringTextOutput text;
  WriteDataText(*block, text);
  ReceiverDataBlock read;
  EXPECT_FALSE(ReadIntoZeroBlock(text.str(), &read));
}

}  // namespace
}  // namespace tavlink::channels
