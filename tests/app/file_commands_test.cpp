// Upgrade Software, Read User Data and Write Factory Data against real
// files, with the transfer faked by the scripted shell.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "app/main_logic.h"
#include "app/scripted_shell.h"
#include "operations/operation_texts.h"
#include "operations/rom_image.h"
#include "data/data_text_reader.h"
#include "data/data_text_writer.h"
#include "data/text_io.h"
#include "files/data_text_file.h"
#include "support/deep_folder.h"
#include "support/temp_folder.h"
#include "transfer/transfer_file.h"

namespace tavlink {
namespace {

using testing::ForeignLock;
using testing::MakeFolderOfLength;
using testing::ReadBytes;
using testing::ScriptedShell;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kSignature(ROM_SIGNATURE);

// A block with its magic and nothing else: the smallest valid data.
void MakeValid(ReceiverDataBlock& block, uint8_t mark = 0) {
  std::memcpy(block.bytes(), "evileyes", 8);
  block.bytes()[0xF000] = mark;  // an uninterpreted byte, to tell blocks apart
}

std::string DataTextOf(const ReceiverDataBlock& block) {
  StringTextOutput text;
  EXPECT_EQ(WriteDataText(block, text), 0);
  return text.str();
}

class FileCommandsTest : public ::testing::Test {
 protected:
  FileCommandsTest() { logic.selectedPort = 1; }

  // Read User Data of `path`, answered by a transfer that delivers `sent`.
  void ReadInto(const std::string& path, const ReceiverDataBlock& sent) {
    shell.files = {path};
    shell.transfer = [&sent](const TransferRequest& request) {
      *request.block = sent;
      return TransferOutcome::kSucceeded;
    };
    logic.ReadUserData();
  }

  ScriptedShell shell;
  ReceiverDataBlock block;
  MainLogic logic{shell, block};
  TempFolder folder;
};

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info;
}

// --- Upgrade Software ------------------------------------------------------

struct BadRom {
  const char* name;
  std::string bytes;
};

class WrongRomTest : public FileCommandsTest, public ::testing::WithParamInterface<BadRom> {};

TEST_P(WrongRomTest, ShowsTheWrongRomMessageAndSendsNothing) {
  const std::string path = folder.File("rom.bin");
  WriteBytes(path, GetParam().bytes);
  shell.files = {path};
  logic.UpgradeSoftware();
  EXPECT_EQ(shell.messages, std::vector<std::string>{std::string(kWrongRomImage)});
  EXPECT_TRUE(shell.transfers.empty());
  EXPECT_EQ(ReadBytes(path), GetParam().bytes);
}

std::string OtherCase() {
  std::string upper = kSignature;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper + "\x01\x02" + "body";
}

INSTANTIATE_TEST_SUITE_P(Upgrade, WrongRomTest,
                         ::testing::Values(BadRom{"OtherSignature",
                                                  "ZOR Digital Satellite Receiver ROM imagf..body"},
                                           BadRom{"OtherLetterCase", OtherCase()},
                                           BadRom{"FortyOneBytes", kSignature + "\x01"},
                                           BadRom{"FortyBytes", kSignature}, BadRom{"Empty", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCommandsTest, UpgradeHandsOverTheImageAtItsBody) {
  const std::string path = folder.File("rom.bin");
  WriteBytes(path, kSignature + "\xAA\xBB" + "BODY");
  shell.files = {path};
  std::string sent;
  shell.transfer = [&](const TransferRequest& request) {
    uint8_t buffer[16];
    const std::optional<size_t> n = request.file->Read(buffer, sizeof buffer);
    if (n) sent.assign(reinterpret_cast<const char*>(buffer), *n);
    return TransferOutcome::kSucceeded;
  };
  logic.UpgradeSoftware();
  EXPECT_TRUE(shell.messages.empty());
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].operation, OP_UPGRADE);
  EXPECT_TRUE(shell.transfers[0].hadFile);
  EXPECT_EQ(sent, "BODY");
  ASSERT_EQ(shell.fileDialogs.size(), 1u);
  EXPECT_EQ(shell.fileDialogs[0].initialName, "rom.bin");
  EXPECT_EQ(shell.fileDialogs[0].filters[0].label, "ROM image files (*.bin)");
}

TEST_F(FileCommandsTest, UpgradeAcceptsAnImageOfExactlyTheHeader) {
  const std::string path = folder.File("header-only");  // no extension: used as typed
  WriteBytes(path, kSignature + std::string(2, '\0'));
  shell.files = {path};
  logic.UpgradeSoftware();
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_EQ(shell.transfers.size(), 1u);
}

TEST_F(FileCommandsTest, UpgradeRefusesAnImageTooLongForItsLengthField) {
  const std::string path = folder.File("huge.bin");
  WriteBytes(path, kSignature + std::string(2, '\0'));
  // Sparse: one byte past what 32 bits can count, without the disk space.
  std::filesystem::resize_file(path, kMaxRomImageSize + 1);
  shell.files = {path};
  logic.UpgradeSoftware();
  EXPECT_EQ(shell.messages, std::vector<std::string>{std::string(kWrongRomImage)});
  EXPECT_TRUE(shell.transfers.empty());

  std::filesystem::resize_file(path, 5000);
  shell.files = {path};
  shell.messages.clear();
  logic.UpgradeSoftware();
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_EQ(shell.transfers.size(), 1u);
}

TEST_F(FileCommandsTest, UpgradeEndsSilentlyWhenTheFileCannotBeOpened) {
  const std::string locked = folder.File("locked.bin");
  WriteBytes(locked, kSignature + std::string(2, '\0') + "body");
  ForeignLock lock(locked);
  shell.files = {std::nullopt, folder.File("missing.bin"), locked};
  for (int i = 0; i < 3; ++i) logic.UpgradeSoftware();
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_TRUE(shell.fileErrors.empty());
  EXPECT_TRUE(shell.transfers.empty());
}

// --- Read User Data --------------------------------------------------------

TEST_F(FileCommandsTest, ReadCancelledAtTheQuestionOpensNoFileDialog) {
  shell.boxAnswers = {BoxAnswer::kCancel};
  logic.ReadUserData();
  EXPECT_EQ(shell.messages, std::vector<std::string>{std::string(kTurnOffReceiver)});
  EXPECT_TRUE(shell.fileDialogs.empty());
  EXPECT_TRUE(shell.transfers.empty());
}

TEST_F(FileCommandsTest, ReadWritesTheReceivedBlockAsDosText) {
  const std::string path = folder.File("factory_data.txt");
  WriteBytes(path, "old contents that are longer than nothing");
  shell.files = {path};
  ReceiverDataBlock sent;
  MakeValid(sent, 7);
  shell.transfer = [&](const TransferRequest& request) {
    EXPECT_NE(request.block, &block) << "the worker must fill a scratch block";
    *request.block = sent;
    return TransferOutcome::kSucceeded;
  };
  logic.ReadUserData();
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].operation, OP_READ_USER_DATA);
  EXPECT_EQ(shell.messages.size(), 1u);  // the question only
  const std::string text = ReadBytes(path);
  EXPECT_EQ(text, DataTextOf(sent));
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  EXPECT_EQ(block.bytes()[0xF000], 7) << "the application's block takes the received data";
  EXPECT_EQ(folder.Count(), 1u) << "no temporary file left behind";
}

TEST_F(FileCommandsTest, FailedReadKeepsAnExistingFileAndTheBlock) {
  MakeValid(block, 1);  // data from an earlier command
  const std::string path = folder.File("factory_data.txt");
  WriteBytes(path, "precious\r\n");
  shell.files = {path};
  for (TransferOutcome outcome :
       {TransferOutcome::kFailed, TransferOutcome::kStopped, TransferOutcome::kPortFailed}) {
    shell.files = {path};
    shell.transfer = [outcome](const TransferRequest& request) {
      MakeValid(*request.block, 9);  // part of a block arrived, magic included
      return outcome;
    };
    shell.messages.clear();
    logic.ReadUserData();
    // Nothing is wrong with the receiver's data: the read did not finish.
    EXPECT_EQ(shell.messages.back(), ReadNotFinishedText(path, true));
    EXPECT_EQ(ReadBytes(path), "precious\r\n");
    EXPECT_EQ(block.bytes()[0xF000], 1);
  }
  EXPECT_EQ(folder.Count(), 1u);
}

// Port 0 opens nothing: each command says so once, before any question or
// file dialog, and runs nothing.
TEST_F(FileCommandsTest, CommandsWithoutAPortSaySoOnceBeforeAnything) {
  logic.selectedPort = 0;
  const std::string path = folder.File("factory_data.txt");
  for (void (MainLogic::*command)() :
       {&MainLogic::UpgradeSoftware, &MainLogic::ReadUserData, &MainLogic::WriteFactoryData}) {
    shell.messages.clear();
    shell.files = {path};
    (logic.*command)();
    EXPECT_EQ(shell.messages, std::vector<std::string>{std::string(kNoPortChosen)});
    EXPECT_EQ(shell.fileDialogs.size(), 0u);
  }
  EXPECT_TRUE(shell.transfers.empty());
}

TEST_F(FileCommandsTest, ReceivedBlockWithoutMagicLeavesNoNewFile) {
  const std::string path = folder.File("new.txt");
  shell.files = {path};
  shell.transfer = [](const TransferRequest&) { return TransferOutcome::kSucceeded; };
  logic.ReadUserData();
  EXPECT_EQ(shell.messages.back(), kFactoryDataNotValid);
  EXPECT_EQ(folder.Count(), 0u);
}

TEST_F(FileCommandsTest, ReadEndsSilentlyOnAFileHeldByAnotherProgram) {
  const std::string path = folder.File("busy.txt");
  WriteBytes(path, "busy");
  ForeignLock lock(path);
  shell.files = {path};
  logic.ReadUserData();
  EXPECT_EQ(shell.messages.size(), 1u);  // the question only
  EXPECT_TRUE(shell.transfers.empty());
  EXPECT_EQ(ReadBytes(path), "busy");
}

TEST_F(FileCommandsTest, ReadEndsSilentlyInAFolderThatCannotBeWritten) {
  shell.files = {folder.File("no/such/folder/data.txt")};
  logic.ReadUserData();
  EXPECT_TRUE(shell.transfers.empty());
  EXPECT_TRUE(shell.fileErrors.empty());
}

TEST_F(FileCommandsTest, ReadKeepsThePermissionBitsOfTheFileItReplaces) {
  const std::string path = folder.File("private.txt");
  WriteBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ReceiverDataBlock sent;
  MakeValid(sent);
  ReadInto(path, sent);
  EXPECT_EQ(ReadBytes(path), DataTextOf(sent));
  EXPECT_EQ(StatOf(path).st_mode & 07777, 0640u);
  EXPECT_EQ(folder.Count(), 1u);
}

TEST_F(FileCommandsTest, ReadWritesThroughASymbolicLink) {
  ASSERT_EQ(::mkdir(folder.File("real").c_str(), 0755), 0);
  const std::string real = folder.File("real/data.txt");
  WriteBytes(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  const std::string link = folder.File("link.txt");
  ASSERT_EQ(::symlink("real/data.txt", link.c_str()), 0);  // relative to the link's folder
  ReceiverDataBlock sent;
  MakeValid(sent, 3);
  ReadInto(link, sent);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), DataTextOf(sent));
  EXPECT_EQ(StatOf(real).st_mode & 07777, 0600u);
  EXPECT_EQ(folder.Count(), 2u);

  // A link to a file that does not exist yet makes that file.
  const std::string dangling = folder.File("dangling.txt");
  ASSERT_EQ(::symlink("real/new.txt", dangling.c_str()), 0);
  ReadInto(dangling, sent);
  EXPECT_TRUE(std::filesystem::is_symlink(dangling));
  EXPECT_EQ(ReadBytes(folder.File("real/new.txt")), DataTextOf(sent));
}

TEST_F(FileCommandsTest, ReadReplacesAFileWhoseNameIsAtTheLengthLimit) {
  // A temporary name made by adding to this one would be too long.
  const std::string path = folder.File(std::string(251, 'n') + ".txt");
  WriteBytes(path, "old");
  const ino_t before = StatOf(path).st_ino;
  ReceiverDataBlock sent;
  MakeValid(sent);
  ReadInto(path, sent);
  EXPECT_TRUE(shell.fileErrors.empty());
  EXPECT_EQ(ReadBytes(path), DataTextOf(sent));
  EXPECT_NE(StatOf(path).st_ino, before) << "replaced through a temporary file";
  EXPECT_EQ(folder.Count(), 1u);
}

TEST_F(FileCommandsTest, ReadRewritesTheFileInPlaceWhenNoTemporaryFileFitsBesideIt) {
  const std::string deep = MakeFolderOfLength(folder.path().string(), 4085);
  ASSERT_FALSE(deep.empty());
  const std::string path = deep + "/f.txt";
  WriteBytes(path, "precious\r\n");
  const ino_t before = StatOf(path).st_ino;

  // A failed transfer leaves it as it was.
  shell.files = {path};
  shell.transfer = [](const TransferRequest&) { return TransferOutcome::kFailed; };
  logic.ReadUserData();
  EXPECT_EQ(ReadBytes(path), "precious\r\n");

  ReceiverDataBlock sent;
  MakeValid(sent, 5);
  ReadInto(path, sent);
  EXPECT_TRUE(shell.fileErrors.empty());
  EXPECT_EQ(ReadBytes(path), DataTextOf(sent));
  EXPECT_EQ(StatOf(path).st_ino, before) << "the file itself was rewritten";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(deep), {}), 1);

  // A new file there is made and written too.
  const std::string fresh = deep + "/g.txt";
  ReadInto(fresh, sent);
  EXPECT_EQ(ReadBytes(fresh), DataTextOf(sent));
}

TEST_F(FileCommandsTest, ReadRewritesAWritableFileInAFolderTheUserCannotWrite) {
  if (::geteuid() == 0) GTEST_SKIP() << "every folder is writable for root";
  const std::string path = folder.File("locked-folder/data.txt");
  ASSERT_EQ(::mkdir(folder.File("locked-folder").c_str(), 0755), 0);
  WriteBytes(path, "old");
  ASSERT_EQ(::chmod(folder.File("locked-folder").c_str(), 0555), 0);
  ReceiverDataBlock sent;
  MakeValid(sent);
  ReadInto(path, sent);
  ::chmod(folder.File("locked-folder").c_str(), 0755);
  EXPECT_TRUE(shell.fileErrors.empty());
  EXPECT_EQ(ReadBytes(path), DataTextOf(sent));
}

TEST_F(FileCommandsTest, ReadOntoAFullDeviceShowsTheFileErrorAndKeepsTheLink) {
  const std::string link = folder.File("full.txt");
  ASSERT_EQ(::symlink("/dev/full", link.c_str()), 0);
  ReceiverDataBlock sent;
  MakeValid(sent);
  ReadInto(link, sent);
  ASSERT_EQ(shell.fileErrors.size(), 1u);
  EXPECT_EQ(shell.fileErrors[0],
            "An error occurred while writing " + link + ".\nNo space left on device");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
  EXPECT_EQ(folder.Count(), 1u);
}

TEST_F(FileCommandsTest, ReadEndsSilentlyOnAFifoThatNobodyReads) {
  const std::string fifo = folder.File("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  shell.files = {fifo};
  logic.ReadUserData();  // must not wait for a reader
  EXPECT_TRUE(shell.transfers.empty());
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(FileCommandsTest, ReadWarnsAfterSavingATextThatWillNotReadBack) {
  const std::string path = folder.File("factory_data.txt");
  ReceiverDataBlock sent;
  MakeValid(sent);
  sent.set_antenna_config(9);  // the reader takes -1 to 8
  ReadInto(path, sent);
  EXPECT_EQ(ReadBytes(path), DataTextOf(sent)) << "saved all the same";
  ASSERT_EQ(shell.messages.size(), 2u);
  const std::string& warning = shell.messages[1];
  EXPECT_EQ(warning.find("\n " + std::string(kSavedTextRefused) + "\n\n * Error : line "), 0u)
      << warning;
  EXPECT_NE(warning.find("Default Switch Configuation value format error."), std::string::npos)
      << warning;

  // A text that reads back gets no box.
  sent.set_antenna_config(8);
  shell.messages.clear();
  ReadInto(path, sent);
  EXPECT_EQ(shell.messages.size(), 1u);  // the question only
}

// --- Write Factory Data ----------------------------------------------------

TEST_F(FileCommandsTest, WriteWithABadLineShowsTheReadersMessageAndSendsNothing) {
  const std::string bad = "# factory data\nq this is not a tag\n";
  const std::string path = folder.File("factory_data.txt");
  WriteBytes(path, bad);
  shell.files = {path};
  logic.WriteFactoryData();

  ReceiverDataBlock scratch;
  DataTextReader reader(scratch);
  StringTextInput input(bad);
  ASSERT_NE(reader.ReadDataText(input), 0);
  EXPECT_EQ(shell.messages, std::vector<std::string>{reader.GetErrorText()});
  EXPECT_TRUE(shell.transfers.empty());
}

TEST_F(FileCommandsTest, WriteSendsTheApplicationsBlockFilledFromTheFile) {
  ReceiverDataBlock source;
  MakeValid(source);
  const std::string path = folder.File("factory_data.txt");
  WriteBytes(path, DataTextOf(source));
  shell.files = {path};
  logic.WriteFactoryData();
  EXPECT_TRUE(shell.messages.empty()) << shell.messages.front();
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].operation, OP_WRITE_FACTORY);
  EXPECT_EQ(shell.transfers[0].block, &block);
  EXPECT_TRUE(block.IsValid());
}

TEST_F(FileCommandsTest, WriteEndsSilentlyOnAMissingOrHeldFile) {
  const std::string held = folder.File("held.txt");
  WriteBytes(held, "a 0\n");
  ForeignLock lock(held);
  shell.files = {folder.File("missing.txt"), held};
  logic.WriteFactoryData();
  logic.WriteFactoryData();
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_TRUE(shell.transfers.empty());
}

// The file-error box after a failed read or write names the file and the
// system's reason, the same way in both directions.
TEST(FileErrorText, NamesTheFileAndTheReason) {
  EXPECT_EQ(FileErrorText("reading", "/media/usb/rom.bin", EIO),
            "An error occurred while reading /media/usb/rom.bin.\nInput/output error");
  EXPECT_EQ(FileErrorText("writing", "/home/t/factory_data.txt", ENOSPC),
            "An error occurred while writing /home/t/factory_data.txt.\nNo space left on device");
  EXPECT_EQ(FileErrorText("writing", "x.txt", 0), "An error occurred while writing x.txt.");
}

}  // namespace
}  // namespace tavlink
