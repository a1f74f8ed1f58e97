// The simulator's command line: faults for every receiver or for one, the
// receiver's number in paths, and the refusals.

#include "sim/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavlink::sim {
namespace {

// Parses `args` (without the program name); the exit status, -1 to run.
int Parse(std::vector<std::string> args, SimOptions* options) {
  args.insert(args.begin(), "tavlink-sim");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options);
}

TEST(CommandLineTest, FaultForOneReceiverReplacesOnlyThatFaultOfThatReceiver) {
  SimOptions options;
  ASSERT_EQ(Parse({"--count", "4", "--corrupt-frame", "3:2", "--corrupt-frame", "5", "--nak-frame",
                   "3:4", "--silent-on", "2", "--pace"},
                  &options),
            -1);
  EXPECT_EQ(options.count, 4);
  const SimOptions first = OptionsForReceiver(options, 1);
  EXPECT_EQ(first.faults.corruptFrame, 5);
  EXPECT_EQ(first.faults.nakFrame, 0);
  EXPECT_FALSE(first.faults.dropAfter.has_value());
  EXPECT_TRUE(first.faults.pace);
  const SimOptions second = OptionsForReceiver(options, 2);
  EXPECT_EQ(second.faults.dropAfter, 0);
  EXPECT_EQ(second.faults.corruptFrame, 5);
  // Receiver 3's own values, and those for every receiver given after them.
  const SimOptions third = OptionsForReceiver(options, 3);
  EXPECT_EQ(third.faults.corruptFrame, 2);
  EXPECT_EQ(third.faults.nakFrame, 4);
  EXPECT_FALSE(third.faults.dropAfter.has_value());
  EXPECT_TRUE(third.faults.pace);
  EXPECT_EQ(OptionsForReceiver(options, 4).faults.corruptFrame, 5);
}

TEST(CommandLineTest, DropAfterForOneReceiverWinsOverSilentForAll) {
  SimOptions options;
  ASSERT_EQ(Parse({"--count", "2", "--silent", "--drop-after", "2:3"}, &options), -1);
  EXPECT_EQ(OptionsForReceiver(options, 1).faults.dropAfter, 0);
  EXPECT_EQ(OptionsForReceiver(options, 2).faults.dropAfter, 3);
}

TEST(CommandLineTest, ReceiverNumberReplacesThePlaceholderInPaths) {
  SimOptions options;
  ASSERT_EQ(Parse({"--count", "12", "--rom-out", "/tmp/rom{n}.bin", "--link", "/tmp/{n}/rx{n}"},
                  &options),
            -1);
  const SimOptions twelfth = OptionsForReceiver(options, 12);
  EXPECT_EQ(twelfth.romOutPath, "/tmp/rom12.bin");
  EXPECT_EQ(twelfth.linkPath, "/tmp/12/rx12");
  EXPECT_EQ(WithNumber("no placeholder", 3), "no placeholder");
  EXPECT_EQ(WithNumber("{n", 3), "{n");
}

TEST(CommandLineTest, OneReceiverTakesPlainPathsAndPlainFaults) {
  SimOptions options;
  ASSERT_EQ(Parse({"--rom-out", "/tmp/rom.bin", "--corrupt-frame", "7", "--silent"}, &options), -1);
  EXPECT_EQ(options.count, 1);
  const SimOptions only = OptionsForReceiver(options, 1);
  EXPECT_EQ(only.romOutPath, "/tmp/rom.bin");
  EXPECT_EQ(only.faults.corruptFrame, 7);
  EXPECT_EQ(only.faults.dropAfter, 0);
}

TEST(CommandLineTest, RefusesWhatCannotBeServed) {
  const std::vector<std::vector<std::string>> refused = {
      {"--count", "0"},
      {"--count", "65"},
      {"--count", "2", "--link", "/tmp/rx"},          // both receivers on one link
      {"--count", "2", "--rom-out", "/tmp/rom.bin"},  // both receivers into one file
      {"--count", "4", "--corrupt-frame", "5:1"},     // no receiver 5
      {"--count", "4", "--silent-on", "0"},
      {"--silent-on", "2"},
      {"--count", "2", "--nak-frame", "2:0"},  // frames count from 1
      {"--count", "2", "--drop-after", "x:1"},
      {"--count", "2", "--drop-after", "1:"},
      {"--count", "2", "--corrupt-frame", "1:3", "--corrupt-frame", "1:4"},
      {"--corrupt-frame", "3", "--corrupt-frame", "4"},
      {"--alter-stored", "65536"},  // beyond the block
      {"--alter-stored", "-1"},
  };
  for (const auto& args : refused) {
    SimOptions options;
    EXPECT_GT(Parse(args, &options), 0) << ::testing::PrintToString(args);
  }
}

}  // namespace
}  // namespace tavlink::sim
