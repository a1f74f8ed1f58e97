// Comparing lists written as data text, with known differences: the exact
// listing, summary and JSON.

#include "channels/list_compare.h"

#include <gtest/gtest.h>

#include "channels/diff_format.h"
#include "channels/golden_block.h"
#include "channels/text_lists.h"

namespace tavlink::channels {
namespace {

using testing::ListOf;

const char* const kBefore =
    "a 1\n"
    "s \"ASTRA 1\" 9750 10600 u 19.2 e a n n n\n"
    "t 12663 22000 h 0 14 0 3/4\n"
    "t 11953 27500 v 0 14 0 3/4\n"
    "s \"HOTBIRD\" 9750 10600 u 13.0 e b n n n\n"
    "t 10719 27500 v 0 14 0 3/4\n"
    "v \"ZDF\"  1 1 28006 110 120 110 130 0 1 0\n"
    "v \"ARD\"  1 2 28106 101 102 101 104 0 0 0\n"
    "v \"RAI1\" 2 1 3401 160 80 160 0 0 0 0\n"
    "v \"RAI2\" 2 1 3402 161 84 161 0 0 0 0\n";

// lnb_high and antenna_config changed; HOTBIRD and its transponder and
// services gone; THOR and NRK1 new; ASTRA's transponders swapped, one with
// another symbol rate; ZDF renamed, locked and after ARD.
const char* const kAfter =
    "a 3\n"
    "s \"ASTRA 1\" 9750 10700 u 19.2 e a n n n\n"
    "t 11953 27500 v 0 14 0 3/4\n"
    "t 12663 27500 h 0 14 0 3/4\n"
    "s \"THOR\" 10000 10750 n 0.8 w n n n n\n"
    "t 10872 25000 v 0 14 0 auto\n"
    "v \"ARD\"    1 1 28106 101 102 101 104 0 0 0\n"
    "v \"ZDF HD\" 1 2 28006 110 120 110 130 0 1 1\n"
    "r \"NRK1\"   2 1 1 512 513 512 576 1 0 0\n";

TEST(ListCompare, ListsEachDifference) {
  const ListDiff diff = CompareLists(ListOf(kBefore), ListOf(kAfter));
  EXPECT_EQ(DiffListing(diff),
            "antenna_config: 1 -> 3\n"
            "satellite 2 \"HOTBIRD\" 13.0 east: removed\n"
            "satellite 2 \"THOR\" 0.8 west: added\n"
            "satellite 1 \"ASTRA 1\" 19.2 east: lnb_high 10600 -> 10700\n"
            "transponder 10719 V of \"HOTBIRD\" 13.0 east: removed\n"
            "transponder 10872 V of \"THOR\" 0.8 west: added\n"
            "transponder 12663 H of \"ASTRA 1\" 19.2 east: moved from 1 to 2\n"
            "transponder 12663 H of \"ASTRA 1\" 19.2 east: symbolrate 22000 -> 27500\n"
            "service 3 \"RAI1\" (service_id 3401 on 10719 V of \"HOTBIRD\" 13.0 east): removed\n"
            "service 4 \"RAI2\" (service_id 3402 on 10719 V of \"HOTBIRD\" 13.0 east): removed\n"
            "service 3 \"NRK1\" (service_id 1 on 10872 V of \"THOR\" 0.8 west): added\n"
            "service 2 \"ZDF HD\" (service_id 28006 on 12663 H of \"ASTRA 1\" 19.2 east): "
            "moved from 1 to 2\n"
            "service 2 \"ZDF HD\" (service_id 28006 on 12663 H of \"ASTRA 1\" 19.2 east): "
            "name \"ZDF\" -> \"ZDF HD\", lock 0 -> 1\n");
  EXPECT_EQ(DiffSummary(diff),
            "1 service added, 1 moved, 2 removed, 1 changed, "
            "1 transponder added, 1 moved, 1 removed, 1 changed, "
            "1 satellite added, 1 removed, 1 changed, antenna_config changed");
  EXPECT_EQ(diff.Count(Table::kServices, DiffKind::kRemoved), 2);
}

TEST(ListCompare, EqualListsHaveNoDifferences) {
  const ListDiff diff = CompareLists(ListOf(kBefore), ListOf(kBefore));
  EXPECT_TRUE(diff.empty());
  EXPECT_EQ(DiffSummary(diff), "no differences");
  EXPECT_EQ(DiffListing(diff), "");
  EXPECT_EQ(DiffJson(diff),
            "{\"equal\":true,\"summary\":\"no differences\",\"antenna_config\":null,"
            "\"differences\":[]}");
}

// A service added at the top shifts every other one; none of them moved.
TEST(ListCompare, AnInsertMovesNothingElse) {
  const std::string satellites =
      "s \"ASTRA\" 9750 10600 u 19.2 e a n n n\n"
      "t 12663 22000 h 0 14 0 3/4\n";
  std::string before = satellites;
  for (int i = 1; i <= 30; ++i)
    before += "v \"S" + std::to_string(i) + "\" 1 1 " + std::to_string(i) + " 0 0 0 0 0 0 0\n";
  std::string after =
      satellites + "v \"NEW\" 1 1 999 0 0 0 0 0 0 0\n" + before.substr(satellites.size());
  const ListDiff diff = CompareLists(ListOf(before), ListOf(after));
  EXPECT_EQ(DiffSummary(diff), "1 service added");
  // One taken from the end to the top is the one that moved.
  std::string moved = satellites + "v \"S30\" 1 1 30 0 0 0 0 0 0 0\n";
  moved += before.substr(satellites.size(), before.rfind("v \"S30\"") - satellites.size());
  EXPECT_EQ(
      DiffListing(CompareLists(ListOf(before), ListOf(moved))),
      "service 1 \"S30\" (service_id 30 on 12663 H of \"ASTRA\" 19.2 east): moved from 30 to 1\n");
}

TEST(ListCompare, WritesJsonForScripts) {
  const ListDiff diff =
      CompareLists(ListOf("a 1\ns \"A\" 9750 10600 u 19.2 e a n n n\nt 12663 22000 h 0 14 0 3/4\n"
                          "v \"Caf\xE9\" 1 1 7 1 2 1 0 0 0 0\n"),
                   ListOf("s \"A\" 9750 10600 u 19.2 e a n n n\nt 12663 22000 h 0 14 0 3/4\n"
                          "v \"Caf\xE9\" 1 1 7 1 2 1 0 0 1 0\n"));
  EXPECT_EQ(DiffJson(diff),
            "{\"equal\":false,\"summary\":\"1 service changed, antenna_config changed\","
            "\"antenna_config\":{\"before\":1,\"after\":-1},\"differences\":["
            "{\"table\":\"service\",\"kind\":\"changed\","
            "\"label\":\"\\\"Caf\\u00e9\\\" (service_id 7 on 12663 H of \\\"A\\\" 19.2 east)\","
            "\"before\":1,\"after\":1,\"fields\":[{\"field\":\"favorite\",\"before\":\"0\","
            "\"after\":\"1\"}]}]}");
}

// A list read from a text and the block it was read over differ only in
// what the text does not carry; that is reported only when asked for.
TEST(ListCompare, KeptBytesOnlyWhenAskedFor) {
  const auto block = testing::GoldenBlock();
  const ChannelList fromBlock = ChannelList::FromBlock(*block);
  const ChannelList fromText = ListOf(fromBlock.ToDataText());
  EXPECT_TRUE(CompareLists(fromBlock, fromText).empty());
  const ListDiff kept = CompareLists(fromBlock, fromText, CompareOptions{true});
  EXPECT_EQ(kept.Count(Table::kSatellites, DiffKind::kChanged), 3);
  ASSERT_FALSE(kept.records.empty());
  EXPECT_EQ(kept.records[0].fields.at(0).field, "kept bytes");
  // ASTRA: reserved 5A 5B, sat_flags bits 10-31 (C0 AB), "234" after the name, 5C 5D.
  EXPECT_EQ(kept.records[0].fields[0].before,
            "0000000000005a5b0000c0ab00000000000032333400"
            "5c5d");
  EXPECT_EQ(kept.records[0].fields[0].after, std::string(48, '0'));
}

}  // namespace
}  // namespace tavlink::channels
