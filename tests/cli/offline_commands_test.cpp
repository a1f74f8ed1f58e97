// tavlink-cli check, text-to-block and block-to-text run as a subprocess:
// exit statuses, messages, and that nothing is written on failure.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "data/receiver_data_block.h"
#include "support/deep_folder.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::MakeFolderOfLength;
using testing::ReadBytes;
using testing::WriteBytes;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

class OfflineCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cli_ = testing::BinDir() / "tavlink-cli";
    if (!fs::exists(cli_)) GTEST_SKIP() << cli_ << " is not built";
    ASSERT_FALSE(dir_.empty()) << "no temporary folder";
  }

  CliRun Cli(const std::string& args) {
    const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
    // The time limit turns a command that never ends into a failure.
    const std::string command =
        "timeout 60 " + cli_.string() + " " + args + " >" + out.string() + " 2>" + err.string();
    const int raw = std::system(command.c_str());
    CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
    fs::remove(out);
    fs::remove(err);
    return run;
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  // The names in the directory, so that a failed command visibly left nothing.
  int FileCount() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  fs::path cli_;
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

const char kGoodText[] =
    "a 2\r\n"
    "s \"ASTRA\" 9750 10600 u 19.2 e a n n n\r\n"
    "t 11954 27500 h 0 14 0 3/4\r\n"
    "t 12603 22000 h 0 14 0 5/6\r\n"
    "v \"ZDF\" 1 1 28006 110 120 110 130 0 1 0\r\n";

TEST_F(OfflineCommandsTest, CheckPrintsTheCounts) {
  WriteBytes(Path("good.txt"), kGoodText);
  const CliRun run = Cli("check " + Path("good.txt"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            Path("good.txt") + ": 1 satellites, 2 transponders, 1 services, antenna_config 2\n");
}

TEST_F(OfflineCommandsTest, CheckGivesTheReadersResultAndMessage) {
  WriteBytes(Path("bad.txt"), "# one\n#two\ns \"A\" 9750 10600 u 180.1 e a n n n\n");
  CliRun run = Cli("check " + Path("bad.txt"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, " * Error : line 3. Default Satellite Data format error.\n   field : angle\n");
  WriteBytes(Path("bad.txt"), "a 1\na 1\n");
  run = Cli("check " + Path("bad.txt"));
  EXPECT_EQ(run.status, 6);
  EXPECT_EQ(run.err,
            " * Error : line 2. Default Switch Configuation value was defined duplicatly.\n");
  WriteBytes(Path("bad.txt"), std::string(kGoodText) + "t 1 2 h 0 14 0 auto\n");
  EXPECT_EQ(Cli("check " + Path("bad.txt")).status, 9);
}

TEST_F(OfflineCommandsTest, MissingFileGivesTheSystemsReason) {
  const CliRun run = Cli("check " + Path("absent.txt"));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
}

TEST_F(OfflineCommandsTest, HelpGivesTheExitStatusesTheVariablesAndTheSettingsFile) {
  const CliRun help = Cli("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* text :
       {"only check exits with the reader's result 1-9", "3 stopped by --timeout",
        "130 stopped with Ctrl-C", "TAVLINK_COM<n>", "system's own (/dev/ttyS<n-1>)",
        "ZOR/ZORLINK.conf ($XDG_CONFIG_HOME honoured)"})
    EXPECT_NE(help.out.find(text), std::string::npos) << text << "\n" << help.out;
  for (const char* windows : {"COM<n>)", "HKEY_"})
    EXPECT_EQ(help.out.find(windows), std::string::npos) << windows << "\n" << help.out;
}

TEST_F(OfflineCommandsTest, UnknownCommandIsNamedAndTheCommandsListed) {
  for (const char* args : {"bogus", "--port 2 bogus", "--yes bogus check"}) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_NE(run.err.find("tavlink-cli: unknown command 'bogus'"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("check, text-to-block, block-to-text, diff, connect"), std::string::npos)
        << run.err;
  }
}

TEST_F(OfflineCommandsTest, UsageErrorsExitWith2) {
  EXPECT_EQ(Cli("check").status, 2);
  EXPECT_EQ(Cli("check --bogus x").status, 2);
  EXPECT_EQ(Cli("text-to-block only-one").status, 2);
  EXPECT_EQ(Cli("block-to-text a b c").status, 2);
  const CliRun help = Cli("block-to-text --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("BLOCK.bin"), std::string::npos);
}

TEST_F(OfflineCommandsTest, TextToBlockAndBackRoundTrips) {
  WriteBytes(Path("good.txt"), kGoodText);
  ASSERT_EQ(Cli("text-to-block " + Path("good.txt") + " " + Path("b.bin")).status, 0);
  const std::string image = ReadBytes(Path("b.bin"));
  ASSERT_EQ(image.size(), ReceiverDataBlock::kSize);
  EXPECT_EQ(image.substr(0, 28),
            std::string("evileyes\0\0\0\0\1\0\0\0\2\0\0\0\1\0\0\0\2\0\0\0", 28));

  ASSERT_EQ(Cli("block-to-text " + Path("b.bin") + " " + Path("back.txt")).status, 0);
  const std::string text = ReadBytes(Path("back.txt"));
  EXPECT_NE(text.find("a         2\r\n\r\n"), std::string::npos);
  EXPECT_NE(text.find("      t   12603           22000     hor       0         14        0"
                      "         5/6\r\n"),
            std::string::npos);
  EXPECT_EQ(FileCount(), 3);  // no temporary file left behind

  ASSERT_EQ(Cli("text-to-block " + Path("back.txt") + " " + Path("c.bin")).status, 0);
  EXPECT_EQ(ReadBytes(Path("c.bin")), image);
}

TEST_F(OfflineCommandsTest, TextToBlockWritesNothingOnFailureAndExitsWith1) {
  WriteBytes(Path("bad.txt"), "x\n");
  const CliRun run = Cli("text-to-block " + Path("bad.txt") + " " + Path("b.bin"));
  EXPECT_EQ(run.status, 1) << "only check exits with the reader's result (4 here)";
  EXPECT_EQ(run.err, " * Error : line 1. Invalid tag 'x'.\n");
  EXPECT_FALSE(fs::exists(Path("b.bin")));
  // An existing output stays as it was.
  WriteBytes(Path("b.bin"), "old");
  EXPECT_EQ(Cli("text-to-block " + Path("bad.txt") + " " + Path("b.bin")).status, 1);
  EXPECT_EQ(ReadBytes(Path("b.bin")), "old");
  EXPECT_EQ(FileCount(), 2);
}

TEST_F(OfflineCommandsTest, BlockToTextRefusesWrongSizeAndInvalidBlocks) {
  WriteBytes(Path("short.bin"), std::string(65535, '\0'));
  CliRun run = Cli("block-to-text " + Path("short.bin") + " " + Path("out.txt"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("65535 bytes"), std::string::npos) << run.err;
  WriteBytes(Path("long.bin"), "evileyes" + std::string(65536 - 8 + 1, '\0'));
  EXPECT_EQ(Cli("block-to-text " + Path("long.bin") + " " + Path("out.txt")).status, 1);
  WriteBytes(Path("zero.bin"), std::string(65536, '\0'));
  run = Cli("block-to-text " + Path("zero.bin") + " " + Path("out.txt"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("evileyes"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Path("out.txt")));
  EXPECT_EQ(Cli("block-to-text " + Path("absent.bin") + " " + Path("out.txt")).status, 2);
  EXPECT_EQ(FileCount(), 3);
}

TEST_F(OfflineCommandsTest, SampleFactoryDataIsAcceptedAndRoundTrips) {
  const std::string sample = testing::SampleDataText().string();
  const CliRun run = Cli("check " + sample);
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(Cli("text-to-block " + sample + " " + Path("s.bin")).status, 0);
  ASSERT_EQ(Cli("block-to-text " + Path("s.bin") + " " + Path("s.txt")).status, 0);
  EXPECT_EQ(ReadBytes(Path("s.txt")), ReadBytes(sample));  // the sample is in the writer's format
}

// --- Output files ------------------------------------------------------------

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_ino;
}

TEST_F(OfflineCommandsTest, AnOutputThatIsTheInputIsRefused) {
  WriteBytes(Path("same.txt"), kGoodText);
  ASSERT_EQ(::symlink("same.txt", Path("link.txt").c_str()), 0);
  ASSERT_EQ(::link(Path("same.txt").c_str(), Path("hard.txt").c_str()), 0);
  for (const char* output : {"same.txt", "link.txt", "hard.txt"}) {
    const CliRun run = Cli("text-to-block " + Path("same.txt") + " " + Path(output));
    EXPECT_EQ(run.status, 2) << output;
    EXPECT_EQ(run.err, "tavlink-cli: " + Path(output) + " is the input file " + Path("same.txt") +
                           "; give another output file.\n");
    EXPECT_EQ(ReadBytes(Path("same.txt")), kGoodText);
  }
  ASSERT_EQ(Cli("text-to-block " + Path("same.txt") + " " + Path("b.bin")).status, 0);
  const std::string image = ReadBytes(Path("b.bin"));
  EXPECT_EQ(Cli("block-to-text " + Path("b.bin") + " " + Path("b.bin")).status, 2);
  EXPECT_EQ(ReadBytes(Path("b.bin")), image);
  EXPECT_EQ(FileCount(), 4);
}

TEST_F(OfflineCommandsTest, OutputsKeepTheirModeAndAreWrittenThroughLinks) {
  WriteBytes(Path("good.txt"), kGoodText);
  WriteBytes(Path("b.bin"), "old");
  ASSERT_EQ(::chmod(Path("b.bin").c_str(), 0600), 0);
  ASSERT_EQ(Cli("text-to-block " + Path("good.txt") + " " + Path("b.bin")).status, 0);
  EXPECT_EQ(ReadBytes(Path("b.bin")).size(), ReceiverDataBlock::kSize);
  EXPECT_EQ(ModeOf(Path("b.bin")), 0600u);

  fs::create_directory(dir_ / "real");
  WriteBytes(Path("real/text.txt"), "old");
  ASSERT_EQ(::chmod(Path("real/text.txt").c_str(), 0640), 0);
  ASSERT_EQ(::symlink("real/text.txt", Path("link.txt").c_str()), 0);
  ASSERT_EQ(Cli("block-to-text " + Path("b.bin") + " " + Path("link.txt")).status, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_NE(ReadBytes(Path("real/text.txt")).find("a         2\r\n"), std::string::npos);
  EXPECT_EQ(ModeOf(Path("real/text.txt")), 0640u);

  // A link to a file that does not exist yet makes that file.
  ASSERT_EQ(::symlink("real/new.bin", Path("dangling.bin").c_str()), 0);
  ASSERT_EQ(Cli("text-to-block " + Path("good.txt") + " " + Path("dangling.bin")).status, 0);
  EXPECT_TRUE(fs::is_symlink(Path("dangling.bin")));
  EXPECT_EQ(ReadBytes(Path("real/new.bin")), ReadBytes(Path("b.bin")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 2);

  // Links that lead round in a circle lead nowhere.
  ASSERT_EQ(::symlink("loop-b", Path("loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", Path("loop-b").c_str()), 0);
  const CliRun loop = Cli("text-to-block " + Path("good.txt") + " " + Path("loop-a"));
  EXPECT_EQ(loop.status, 2);
  EXPECT_EQ(loop.err, "tavlink-cli: cannot write " + Path("loop-a") +
                          ": Too many levels of symbolic links\n");
}

TEST_F(OfflineCommandsTest, DevicesAndFifosAreWrittenToNotReplaced) {
  WriteBytes(Path("good.txt"), kGoodText);
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
  std::string received;
  std::thread reader([&] { received = ReadBytes(Path("fifo")); });
  const CliRun run = Cli("text-to-block " + Path("good.txt") + " " + Path("fifo"));
  reader.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(received.size(), ReceiverDataBlock::kSize);
  EXPECT_TRUE(fs::is_fifo(Path("fifo")));

  // Devices through links, so that a fault replaces a link, not a device.
  ASSERT_EQ(::symlink("/dev/null", Path("null").c_str()), 0);
  EXPECT_EQ(Cli("text-to-block " + Path("good.txt") + " " + Path("null")).status, 0);
  EXPECT_TRUE(fs::is_symlink(Path("null")));
  ASSERT_EQ(::symlink("/dev/full", Path("full").c_str()), 0);
  const CliRun full = Cli("text-to-block " + Path("good.txt") + " " + Path("full"));
  EXPECT_EQ(full.status, 2);
  EXPECT_EQ(full.err, "tavlink-cli: cannot write " + Path("full") + ": No space left on device\n");
  EXPECT_TRUE(fs::is_character_file("/dev/null") && fs::is_character_file("/dev/full"));
  EXPECT_EQ(FileCount(), 4);

  const CliRun folder = Cli("text-to-block " + Path("good.txt") + " " + dir_.string());
  EXPECT_EQ(folder.status, 2);
  EXPECT_NE(folder.err.find("Is a directory"), std::string::npos) << folder.err;
}

TEST_F(OfflineCommandsTest, OutputIsRewrittenInPlaceWhenNoTemporaryFileFitsBesideIt) {
  WriteBytes(Path("good.txt"), kGoodText);
  const std::string deep = MakeFolderOfLength(dir_.string(), 4085);
  ASSERT_FALSE(deep.empty());
  const std::string path = deep + "/b.bin";
  WriteBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  const ino_t before = InodeOf(path);
  WriteBytes(Path("bad.txt"), "x\n");
  EXPECT_EQ(Cli("text-to-block " + Path("bad.txt") + " " + path).status, 1);
  EXPECT_EQ(ReadBytes(path), "old");

  const CliRun run = Cli("text-to-block " + Path("good.txt") + " " + path);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(path).size(), ReceiverDataBlock::kSize);
  EXPECT_EQ(InodeOf(path), before);
  EXPECT_EQ(ModeOf(path), 0600u);
  // A new file there is made, and a failure leaves none.
  EXPECT_EQ(Cli("block-to-text " + path + " " + deep + "/t.txt").status, 0);
  EXPECT_EQ(Cli("text-to-block " + Path("bad.txt") + " " + deep + "/c.bin").status, 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(deep), fs::directory_iterator()), 2);
}

TEST_F(OfflineCommandsTest, OutputInAFolderTheUserCannotWriteIsRewrittenInPlace) {
  if (::geteuid() == 0) GTEST_SKIP() << "every folder is writable for root";
  WriteBytes(Path("good.txt"), kGoodText);
  fs::create_directory(dir_ / "ro");
  WriteBytes(Path("ro/b.bin"), "old");
  ASSERT_EQ(::chmod(Path("ro").c_str(), 0555), 0);
  const CliRun run = Cli("text-to-block " + Path("good.txt") + " " + Path("ro/b.bin"));
  const CliRun fresh = Cli("text-to-block " + Path("good.txt") + " " + Path("ro/new.bin"));
  ::chmod(Path("ro").c_str(), 0755);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(Path("ro/b.bin")).size(), ReceiverDataBlock::kSize);
  EXPECT_EQ(fresh.status, 2);
  EXPECT_EQ(fresh.err, "tavlink-cli: cannot write " + Path("ro/new.bin") + ": Permission denied\n");
}

TEST_F(OfflineCommandsTest, BlockToTextStopsReadingAnEndlessInput) {
  const CliRun run = Cli("block-to-text /dev/zero " + Path("out.txt"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "tavlink-cli: /dev/zero is not a receiver data block: it holds more than 65536 bytes, "
            "a block holds 65536.\n");
  EXPECT_EQ(FileCount(), 0);
}

struct UnreadableBlock {
  const char* name;
  size_t offset;  // the byte to change in the image of kGoodText
  char value;
  const char* readersMessage;
};

class SavedTextTest : public OfflineCommandsTest,
                      public ::testing::WithParamInterface<UnreadableBlock> {};

TEST_P(SavedTextTest, BlockToTextSavesButWarnsWhenTheTextWillNotReadBack) {
  WriteBytes(Path("good.txt"), kGoodText);
  ASSERT_EQ(Cli("text-to-block " + Path("good.txt") + " " + Path("b.bin")).status, 0);
  std::string image = ReadBytes(Path("b.bin"));
  ASSERT_EQ(image.size(), ReceiverDataBlock::kSize);
  image[GetParam().offset] = GetParam().value;
  WriteBytes(Path("b.bin"), image);

  const CliRun run = Cli("block-to-text " + Path("b.bin") + " " + Path("out.txt"));
  EXPECT_EQ(run.status, 0) << "the text is saved";
  EXPECT_TRUE(fs::exists(Path("out.txt")));
  EXPECT_EQ(run.err, "tavlink-cli: warning: " + Path("out.txt") +
                         ": The file is saved, but Write Factory Data would refuse it as it "
                         "stands:\n" +
                         GetParam().readersMessage);
  // The reader says the same when asked.
  EXPECT_EQ(Cli("check " + Path("out.txt")).err, GetParam().readersMessage);
}

INSTANTIATE_TEST_SUITE_P(
    Unreadable, SavedTextTest,
    ::testing::Values(
        UnreadableBlock{"AntennaNine", 24, 9,
                        " * Error : line 24. Default Switch Configuation value format error.\n"},
        UnreadableBlock{"QuoteInAName", 0x2C + 1, '"',
                        " * Error : line 38. Default Satellite Data format error.\n"
                        "   field : lnb_low\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavlink
