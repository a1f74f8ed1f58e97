// The device commands' questions before anything is sent: asked on the
// user's terminal when there is one to ask on, answered by --yes, and
// without either the command is refused.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/commands.h"
#include "support/paths.h"
#include "support/receiver_script.h"
#include "support/temp_folder.h"
#include "support/test_cli_env.h"

namespace tavlink::cli {
namespace {

namespace fs = std::filesystem;
using testing::ReceiverScript;

constexpr const char* kRx = "/dev/rx";

class QuestionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    rx_ = &cli_.AddReceiver(kRx);
    rx_->SetScript(receiver_.Bind());
  }
  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--device", kRx});
    return cli_.Run(args);
  }
  std::string Err() const { return cli_.terminal.StdErr(); }
  std::string Output() const { return folder_.File("user.txt"); }
  // A data text without a single record.
  std::string EmptyText() const {
    const std::string path = folder_.File("empty.txt");
    std::ofstream(path, std::ios::binary) << "# nothing at all\r\na 3\r\n";
    return path;
  }
  bool FolderHoldsOnly(size_t files) const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder_.path()),
                                             fs::directory_iterator())) == files;
  }

  testing::TempFolder folder_;
  testing::TestCliEnv cli_;
  ReceiverScript receiver_;
  testing::ScriptedReceiver* rx_ = nullptr;
};

TEST_F(QuestionsTest, ReadUserDataAsksToTurnTheReceiverOff) {
  cli_.terminal.canAsk = true;
  cli_.terminal.QueueAnswer(false);
  EXPECT_EQ(Run({"read-user-data", Output()}), kExitStopped);
  EXPECT_EQ(cli_.terminal.Questions(), std::vector<std::string>{"Please turn off your receiver."});
  EXPECT_EQ(Err(), "tavlink-cli: not confirmed; nothing read.\n");
  EXPECT_TRUE(rx_->Frames().empty());
  EXPECT_TRUE(FolderHoldsOnly(0)) << "the prepared output is gone again";

  cli_.terminal.QueueAnswer(true);
  Run({"--timeout", "1", "read-user-data", Output()});
  ASSERT_FALSE(rx_->Frames().empty());
  EXPECT_EQ(rx_->Frames()[0].code, FC_USERDATA);
}

// Without a terminal to ask on the read is refused, unless --yes says the
// receiver is off.
TEST_F(QuestionsTest, ReadUserDataWithoutATerminalNeedsYes) {
  EXPECT_EQ(Run({"read-user-data", Output()}), kExitUsage);
  EXPECT_EQ(Err(),
            "tavlink-cli: read-user-data asks to turn the receiver off first, and there is no "
            "terminal to ask on: give --yes once it is off.\n");
  EXPECT_TRUE(rx_->Frames().empty());
  EXPECT_TRUE(FolderHoldsOnly(0));
  EXPECT_TRUE(cli_.terminal.Questions().empty());

  Run({"--yes", "--timeout", "1", "read-user-data", Output()});
  ASSERT_FALSE(rx_->Frames().empty());
  EXPECT_EQ(rx_->Frames()[0].code, FC_USERDATA);
}

// A text without a single record would empty the receiver's data: asked
// on a terminal, refused without one unless --yes.
TEST_F(QuestionsTest, EmptyDataTextIsAskedAboutOrRefused) {
  const std::string empty = EmptyText();
  EXPECT_EQ(Run({"write-factory-data", empty}), kExitUsage);
  EXPECT_EQ(Err(), "tavlink-cli: " + empty +
                       " holds no satellite, transponder or service: writing it empties the "
                       "receiver's data. Give --yes to write it anyway.\n");
  EXPECT_TRUE(cli_.terminal.Questions().empty());

  cli_.terminal.canAsk = true;
  cli_.terminal.QueueAnswer(false);
  EXPECT_EQ(Run({"write-factory-data", empty}), kExitUsage);
  ASSERT_EQ(cli_.terminal.Questions().size(), 1u);
  EXPECT_NE(cli_.terminal.Questions()[0].find(empty), std::string::npos)
      << cli_.terminal.Questions()[0];
  EXPECT_NE(Err().find("tavlink-cli: nothing written.\n"), std::string::npos) << Err();
  EXPECT_TRUE(rx_->Frames().empty());

  cli_.terminal.QueueAnswer(true);
  EXPECT_EQ(Run({"write-factory-data", empty}), kExitOk) << Err();
  EXPECT_EQ(receiver_.dataFrames.load(), 32);
  EXPECT_NE(cli_.terminal.StdOut().find("Wrote factory data (32 blocks)"), std::string::npos);
}

// A verified write asks to turn the receiver off and on after the write:
// without a terminal to ask on, --yes must say the technician will.
TEST_F(QuestionsTest, VerifiedWriteWithoutATerminalNeedsYes) {
  // Copied into the test's folder: on Windows an argument that starts
  // with "/" would be an option.
  const std::string sample = folder_.File("sample.txt");
  fs::copy_file(testing::SampleDataText(), sample);
  EXPECT_EQ(Run({"write-factory-data", "--verify", sample}), kExitUsage);
  EXPECT_EQ(Err(),
            "tavlink-cli: --verify asks to turn the receiver off and on again after the write, "
            "and there is no terminal to ask on: give --yes as well.\n");
  EXPECT_TRUE(rx_->Frames().empty());
}

}  // namespace
}  // namespace tavlink::cli
