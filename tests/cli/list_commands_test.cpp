// tavlink-cli diff and check --list in the test's process: data texts and
// block images in any mix, the comparison's summary and listing as written
// by hand, its exit statuses, and a refused text named with its line.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "data/receiver_data_block.h"
#include "support/temp_folder.h"
#include "support/test_cli_env.h"

namespace tavlink::cli {
namespace {

// Two satellites, three transponders, four services, antenna_config 1.
constexpr const char* kBefore =
    "a 1\r\n"
    "s \"ASTRA 19E\" 9750 10600 u 19.2 e a n n n\r\n"
    "t 11836 27500 h 0 14 0 3/4\r\n"
    "t 11953 27500 h 0 14 0 3/4\r\n"
    "s \"HOTBIRD13\" 9750 10600 u 13.0 e b n n n\r\n"
    "t 11766 27500 v 0 14 0 2/3\r\n"
    "v \"Das Erste\" 1 1 28106 101 102 101 104 0 1 0\r\n"
    "v \"ZDF\" 1 2 28006 110 120 110 130 0 1 0\r\n"
    "r \"Bayern 3\" 1 2 28401 0 3011 3011 0 0 0 0\r\n"
    "v \"Rai 1\" 2 1 3401 512 650 512 575 0 1 0\r\n";

class ListCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.path().empty()); }
  std::string Write(const char* name, const std::string& bytes) {
    const std::string path = folder_.File(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // The block the reader makes of `text` (tavlink-cli text-to-block), as a
  // 65,536-byte image file.
  std::string WriteImage(const char* name, const std::string& text) {
    const std::string textPath = Write((std::string(name) + ".txt").c_str(), text);
    const std::string path = folder_.File(name);
    testing::TestCliEnv convert;
    EXPECT_EQ(convert.Run({"text-to-block", textPath, path}), kExitOk)
        << convert.terminal.StdErr();
    return path;
  }
  std::string Out() const { return cli_.terminal.StdOut(); }
  std::string Err() const { return cli_.terminal.StdErr(); }

  testing::TempFolder folder_;
  testing::TestCliEnv cli_;
};

TEST_F(ListCommandsTest, SameListAsTextAndAsImageHasNoDifferences) {
  const std::string text = Write("a.txt", kBefore);
  const std::string image = WriteImage("a.bin", kBefore);
  EXPECT_EQ(cli_.Run({"diff", text, image}), kExitOk) << Err();
  EXPECT_EQ(Out(), "no differences\n");
  EXPECT_EQ(Err(), "");
}

// A rename, a removal, a move, a new service and the antenna: each named
// with its position and what the receiver will see of it.
TEST_F(ListCommandsTest, DifferencesAreSummedUpThenListedOneALine) {
  const std::string before = WriteImage("before.bin", kBefore);
  const std::string after = Write("after.txt",
                                  "a 3\r\n"
                                  "s \"ASTRA 19E\" 9750 10600 u 19.2 e a n n n\r\n"
                                  "t 11836 27500 h 0 14 0 3/4\r\n"
                                  "t 11953 27500 h 0 14 0 3/4\r\n"
                                  "s \"HOTBIRD13\" 9750 10600 u 13.0 e b n n n\r\n"
                                  "t 11766 27500 v 0 14 0 2/3\r\n"
                                  "v \"ZDF HD\" 1 2 28006 110 120 110 130 0 1 0\r\n"
                                  "v \"Das Erste\" 1 1 28106 101 102 101 104 0 1 0\r\n"
                                  "v \"Rai 1\" 2 1 3401 512 650 512 575 0 1 0\r\n"
                                  "v \"Rai 2\" 2 1 3402 513 651 513 576 0 0 0\r\n");
  EXPECT_EQ(cli_.Run({"diff", before, after}), kExitFailure) << Err();
  EXPECT_EQ(Out(),
            "1 service added, 1 moved, 1 removed, 1 changed, antenna_config changed\n"
            "antenna_config: 1 -> 3\n"
            "service 3 \"Bayern 3\" (service_id 28401 on 11953 H of \"ASTRA 19E\" 19.2 east): "
            "removed\n"
            "service 4 \"Rai 2\" (service_id 3402 on 11766 V of \"HOTBIRD13\" 13.0 east): "
            "added\n"
            "service 2 \"Das Erste\" (service_id 28106 on 11836 H of \"ASTRA 19E\" 19.2 east): "
            "moved from 1 to 2\n"
            "service 1 \"ZDF HD\" (service_id 28006 on 11953 H of \"ASTRA 19E\" 19.2 east): "
            "name \"ZDF\" -> \"ZDF HD\"\n");
  EXPECT_EQ(Err(), "");
}

TEST_F(ListCommandsTest, JsonCarriesTheSameComparison) {
  const std::string before = Write("before.txt", kBefore);
  std::string changed = kBefore;
  changed.replace(changed.find("a 1"), 3, "a 2");
  const std::string after = Write("after.txt", changed);
  EXPECT_EQ(cli_.Run({"diff", "--json", before, after}), kExitFailure) << Err();
  EXPECT_EQ(Out(),
            "{\"equal\":false,\"summary\":\"antenna_config changed\",\"antenna_config\":"
            "{\"before\":1,\"after\":2},\"differences\":[]}\n");
}

// A file that cannot be compared: exit status 2, the reader's line and
// message, and nothing on standard output.
TEST_F(ListCommandsTest, UnreadableListsAreRefusedWithWhy) {
  const std::string good = Write("good.txt", kBefore);
  const std::string typo = Write("typo.txt",
                                 "a 1\r\n"
                                 "s \"ASTRA 19E\" 9750 10600 u 19.2 e a n n n\r\n"
                                 "x 11836 27500 h 0 14 0 3/4\r\n");
  EXPECT_EQ(cli_.Run({"diff", good, typo}), kExitUsage);
  EXPECT_EQ(Err().rfind("tavlink-cli: " + typo + ": the data text reader refuses line 3:\n", 0),
            0u)
      << Err();
  EXPECT_EQ(Out(), "");

  // 65,536 bytes that are not a block.
  std::string notBlock(ReceiverDataBlock::kSize, '\0');
  std::memcpy(notBlock.data(), "notablck", 8);
  const std::string image = Write("bad.bin", notBlock);
  testing::TestCliEnv second;
  EXPECT_EQ(second.Run({"diff", image, good}), kExitUsage);
  EXPECT_NE(second.terminal.StdErr().find(image + " is not a valid receiver data block"),
            std::string::npos)
      << second.terminal.StdErr();

  testing::TestCliEnv third;
  EXPECT_EQ(third.Run({"diff", good, folder_.File("missing.txt")}), kExitUsage);
  EXPECT_NE(third.terminal.StdErr().find("missing.txt"), std::string::npos);
}

TEST_F(ListCommandsTest, CheckListShowsEachServiceAsTheReceiverTakesIt) {
  const std::string text = Write("list.txt", kBefore);
  EXPECT_EQ(cli_.Run({"check", "--list", text}), kExitOk) << Err();
  EXPECT_EQ(Out(), text +
                       ": 2 satellites, 3 transponders, 4 services, antenna_config 1\n"
                       "   1  \"Das Erste\"      tv     11836 H of \"ASTRA 19E\" 19.2 east  "
                       "service_id 28106\n"
                       "   2  \"ZDF\"            tv     11953 H of \"ASTRA 19E\" 19.2 east  "
                       "service_id 28006\n"
                       "   3  \"Bayern 3\"       radio  11953 H of \"ASTRA 19E\" 19.2 east  "
                       "service_id 28401\n"
                       "   4  \"Rai 1\"          tv     11766 V of \"HOTBIRD13\" 13.0 east  "
                       "service_id 3401\n");
}

}  // namespace
}  // namespace tavlink::cli
