// The operations' flows against real files, with the session faked by a
// scripted host: what each flow tells, asks and leaves behind.

#include "operations/receiver_operations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "data/receiver_data_block.h"
#include "files/save_target.h"
#include "operations/connect_answer.h"
#include "operations/rom_image.h"
#include "support/temp_folder.h"
#include "transfer/transfer_file.h"

namespace tavlink {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

struct Failure {
  FileAction action;
  std::string path;
};

// Records what a flow says; answers questions from `answers` (Yes when it
// runs out) and runs each session through `session`.
class ScriptedHost final : public OperationHost {
 public:
  bool Ask(Question question, std::string_view) override {
    questions.push_back(question);
    return answer;
  }
  void Tell(const Notice& notice) override { notices.push_back(notice); }
  void FileFailed(FileAction action, const std::string& path, int) override {
    failures.push_back({action, path});
  }
  TransferOutcome RunSession(const TransferRequest& request) override {
    operations.push_back(request.operation);
    return session ? session(request) : TransferOutcome::kFailed;
  }

  bool answer = true;
  std::function<TransferOutcome(const TransferRequest&)> session;
  std::vector<Question> questions;
  std::vector<Notice> notices;
  std::vector<Failure> failures;
  std::vector<int> operations;
};

void MakeValid(ReceiverDataBlock& block) {
  std::memcpy(block.bytes(), "evileyes", 8);
  block.set_antenna_config(-1);
}

class OperationsTest : public ::testing::Test {
 protected:
  std::unique_ptr<SaveTarget> Prepare(const std::string& path) {
    int error = 0;
    auto target = SaveTarget::Prepare(path, {}, {}, &error);
    EXPECT_NE(target, nullptr) << path;
    return target;
  }
  ScriptedHost host;
  TempFolder folder;
};

TEST_F(OperationsTest, ConnectReadsBothVersionFieldsOfTheAnswer) {
  host.session = [](const TransferRequest& request) {
    EXPECT_EQ(request.answer.size(), kAnswerSize);
    request.answer[0] = 1;
    std::memcpy(&request.answer[kHardwareVersionAt], "HW 2.1", 6);
    std::memset(&request.answer[kSoftwareVersionAt], 'S', kVersionFieldSize);  // no zero byte
    return TransferOutcome::kSucceeded;
  };
  const ConnectResult result = ConnectToReceiver(host);
  EXPECT_TRUE(result.connected);
  EXPECT_EQ(result.hardwareVersion, "HW 2.1");
  EXPECT_EQ(result.softwareVersion, std::string(32, 'S'));

  host.session = [](const TransferRequest&) { return TransferOutcome::kFailed; };
  EXPECT_FALSE(ConnectToReceiver(host).connected);
}

// A failed or stopped read says that the read did not finish and what
// became of the file: nothing is wrong with the receiver's data.
TEST_F(OperationsTest, ReadThatDidNotFinishSaysTheFileIsUnchangedOrNotCreated) {
  const std::string existing = folder.File("old.txt");
  WriteBytes(existing, "earlier text\r\n");
  const std::string fresh = folder.File("new.txt");
  auto block = std::make_unique<ReceiverDataBlock>();
  block->bytes()[0xF000] = 7;
  for (const TransferOutcome outcome : {TransferOutcome::kFailed, TransferOutcome::kStopped}) {
    host.notices.clear();
    host.session = [outcome](const TransferRequest& request) {
      MakeValid(*request.block);  // what arrived before the end is not kept
      return outcome;
    };
    auto target = Prepare(existing);
    EXPECT_FALSE(ReadUserDataToFile(host, *target, existing, *block).saved.saved);
    target = Prepare(fresh);
    ReadUserDataToFile(host, *target, fresh, *block);
    target.reset();
    ASSERT_EQ(host.notices.size(), 2u);
    EXPECT_EQ(host.notices[0].kind, Notice::Kind::kReadNotFinished);
    EXPECT_EQ(host.notices[0].text,
              "\n The user data was not read to the end. \n " + existing + " is unchanged. ");
    EXPECT_EQ(host.notices[1].text,
              "\n The user data was not read to the end. \n " + fresh + " was not created. ");
  }
  EXPECT_EQ(ReadBytes(existing), "earlier text\r\n");
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_FALSE(block->IsValid());  // the caller's block is left as it was
  EXPECT_EQ(block->bytes()[0xF000], 7);
  EXPECT_TRUE(host.failures.empty());
}

TEST_F(OperationsTest, ReadOfABlockWithoutItsMagicSaysItIsNotValidAndSavesNothing) {
  const std::string path = folder.File("user.txt");
  host.session = [](const TransferRequest&) { return TransferOutcome::kSucceeded; };
  auto block = std::make_unique<ReceiverDataBlock>();
  auto target = Prepare(path);
  EXPECT_FALSE(ReadUserDataToFile(host, *target, path, *block).saved.saved);
  target.reset();
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].kind, Notice::Kind::kFactoryDataNotValid);
  EXPECT_EQ(host.notices[0].text, "\n Factory data of the receiver is not valid. ");
  EXPECT_FALSE(std::filesystem::exists(path));
}

// The received block becomes the caller's, the shorter answer's untouched
// bytes keep what the caller's block held, and a text the reader would
// refuse is saved with the reader's message.
TEST_F(OperationsTest, ReadSavesTheBlockAndWarnsOfATextThatWillNotReadBack) {
  const std::string path = folder.File("user.txt");
  auto block = std::make_unique<ReceiverDataBlock>();
  block->bytes()[0xF000] = 9;
  host.session = [](const TransferRequest& request) {
    EXPECT_EQ(request.block->bytes()[0xF000], 9);
    MakeValid(*request.block);
    request.block->set_antenna_config(12);  // the reader takes -1 to 8
    return TransferOutcome::kSucceeded;
  };
  auto target = Prepare(path);
  const UserDataRead read = ReadUserDataToFile(host, *target, path, *block);
  ASSERT_TRUE(read.saved.saved);
  EXPECT_EQ(ReadBytes(path), read.saved.text);
  EXPECT_EQ(block->antenna_config(), 12);
  EXPECT_EQ(block->bytes()[0xF000], 9);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].kind, Notice::Kind::kSavedTextRefused);
  EXPECT_NE(host.notices[0].detail.find("line"), std::string::npos) << host.notices[0].detail;
}

// The image is checked before a session is asked for, and a read error of
// the image during the session is the file's error, naming the file.
TEST_F(OperationsTest, UpgradeChecksTheImageAndTellsAReadErrorAsTheFilesError) {
  const std::string wrong = folder.File("wrong.bin");
  WriteBytes(wrong, "not a ROM image at all, and long enough to hold a header");
  EXPECT_EQ(UpgradeSoftware(host, wrong).outcome, TransferOutcome::kNotRun);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].kind, Notice::Kind::kWrongRomImage);
  EXPECT_TRUE(host.operations.empty());

  const std::string missing = folder.File("missing.bin");
  EXPECT_EQ(UpgradeSoftware(host, missing).outcome, TransferOutcome::kNotRun);
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0].action, FileAction::kOpen);

  const std::string good = folder.File("rom.bin");
  WriteBytes(good, std::string(ROM_SIGNATURE) + "v1" + std::string(5000, 'x'));
  host.session = [](const TransferRequest& request) {
    EXPECT_NE(request.file, nullptr);
    return TransferOutcome::kFileFailed;
  };
  const UpgradeResult result = UpgradeSoftware(host, good);
  EXPECT_EQ(result.bodyBytes, 5000u);
  ASSERT_EQ(host.failures.size(), 2u);
  EXPECT_EQ(host.failures[1].action, FileAction::kRead);
  EXPECT_EQ(host.failures[1].path, good);
}

TEST_F(OperationsTest, FactoryDataIsLoadedCheckedAndAnEmptyOneAsked) {
  const std::string bad = folder.File("bad.txt");
  WriteBytes(bad, "# comment\nx 1\n");
  auto block = std::make_unique<ReceiverDataBlock>();
  EXPECT_EQ(LoadDataText(host, bad, *block), LoadResult::kRefused);
  ASSERT_EQ(host.notices.size(), 1u);
  EXPECT_EQ(host.notices[0].kind, Notice::Kind::kReaderRefused);
  EXPECT_NE(host.notices[0].detail.find('2'), std::string::npos) << host.notices[0].detail;
  EXPECT_EQ(LoadDataText(host, folder.File("none.txt"), *block), LoadResult::kFileFailed);

  const std::string empty = folder.File("empty.txt");
  WriteBytes(empty, "# nothing but a comment\n");
  EXPECT_EQ(LoadDataText(host, empty, *block), LoadResult::kLoaded);
  host.answer = false;
  EXPECT_FALSE(ConfirmFactoryData(host, empty, *block));
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0], Question::kWriteEmptyData);

  const std::string one = folder.File("one.txt");
  WriteBytes(one, "s \"ASTRA\" 9750 10600 u 19.2 e a n n n\n");
  EXPECT_EQ(LoadDataText(host, one, *block), LoadResult::kLoaded);
  EXPECT_TRUE(ConfirmFactoryData(host, one, *block));
  EXPECT_EQ(host.questions.size(), 1u);  // a list with a record is not asked about
}

TEST_F(OperationsTest, BackupReachesItsFileOnlyWhenItSucceeded) {
  const std::string path = folder.File("user.bak");
  host.session = [](const TransferRequest& request) {
    const uint8_t bytes[] = {1, 2, 3};
    request.file->Write(bytes, 3);
    return TransferOutcome::kFailed;
  };
  auto target = Prepare(path);
  EXPECT_FALSE(BackupUserData(host, *target, path).saved);
  target.reset();
  EXPECT_FALSE(std::filesystem::exists(path));

  host.session = [](const TransferRequest& request) {
    const uint8_t bytes[] = {1, 2, 3};
    request.file->Write(bytes, 3);
    return TransferOutcome::kSucceeded;
  };
  target = Prepare(path);
  const BackupResult result = BackupUserData(host, *target, path);
  EXPECT_TRUE(result.saved);
  EXPECT_EQ(result.bytes, 3u);
  EXPECT_EQ(ReadBytes(path), std::string("\1\2\3", 3));
}

}  // namespace
}  // namespace tavlink
