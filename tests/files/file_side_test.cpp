// The file side both front ends share: the ROM image check, reading a data
// text into a block, opening inputs and preparing outputs.

#include "files/file_side.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "data/receiver_data_block.h"
#include "files/file_error.h"
#include "files/input_file.h"
#include "files/save_target.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class FileSideTest : public ::testing::Test {
 protected:
  StreamPtr Open(const std::string& path) { return StreamPtr(std::fopen(path.c_str(), "rb")); }
  TempFolder folder;
};

TEST_F(FileSideTest, RomImageIsCheckedByItsHeaderAndItsLength) {
  const std::string good = folder.File("rom.bin");
  WriteBytes(good, "ZOR Digital Satellite Receiver ROM image" + std::string("v1") + "body");
  int error = -1;
  StreamPtr image = Open(good);
  EXPECT_EQ(CheckRomImage(image.get(), 46, &error), RomCheck::kGood);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(std::ftell(image.get()), 42);  // the upgrade sends from the body
  image = Open(good);
  EXPECT_EQ(CheckRomImage(image.get(), kMaxRomImageSize + 1, &error), RomCheck::kTooLong);

  const std::string other = folder.File("other.bin");
  WriteBytes(other, "ZOR DIGITAL SATELLITE RECEIVER ROM IMAGE" + std::string("v1"));
  image = Open(other);
  EXPECT_EQ(CheckRomImage(image.get(), 42, &error), RomCheck::kWrongImage);
  const std::string cut = folder.File("cut.bin");
  WriteBytes(cut, "ZOR Digital Satellite Receiver ROM image" + std::string("v"));
  image = Open(cut);
  EXPECT_EQ(CheckRomImage(image.get(), 41, &error), RomCheck::kWrongImage);

  // A header that cannot be read is a file error, not a wrong image.
  image = Open(folder.path().string());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(CheckRomImage(image.get(), 4096, &error), RomCheck::kUnreadable);
  EXPECT_EQ(error, EISDIR);
}

TEST_F(FileSideTest, DataTextIsReadWithTheReadersResultOrTheFilesError) {
  auto block = std::make_unique<ReceiverDataBlock>();
  const std::string good = folder.File("good.txt");
  WriteBytes(good, "# nothing but a comment\r\na 3\r\n");
  StreamPtr text = Open(good);
  DataTextRead read = ReadDataTextFrom(text.get(), *block);
  EXPECT_EQ(read.error, 0);
  EXPECT_EQ(read.result, 0);
  EXPECT_EQ(block->antenna_config(), 3);

  const std::string bad = folder.File("bad.txt");
  WriteBytes(bad, "a 1\na 1\n");
  text = Open(bad);
  read = ReadDataTextFrom(text.get(), *block);
  EXPECT_EQ(read.result, 6);
  EXPECT_EQ(read.message,
            " * Error : line 2. Default Switch Configuation value was defined duplicatly.");

  text = Open(folder.path().string());
  read = ReadDataTextFrom(text.get(), *block);
  EXPECT_EQ(read.error, EISDIR);
}

TEST_F(FileSideTest, OnlyAValidBlockGivesATextToSave) {
  auto block = std::make_unique<ReceiverDataBlock>();
  EXPECT_FALSE(DataTextToSave(*block).has_value());
  block->FinishHeader(0, 0, 0, -1);
  const std::optional<std::string> text = DataTextToSave(*block);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->substr(0, 2), "##");
  EXPECT_NE(text->find("\r\n"), std::string::npos);
}

// Readers share a file; a program writing it (with its lock) keeps them out.
TEST_F(FileSideTest, InputFilesAreSharedByReadersButNotWithAWriter) {
  const std::string path = folder.File("factory.txt");
  WriteBytes(path, "a 1\n");
  int error = 0;
  std::optional<InputFile> first = OpenInputFile(path, &error);
  std::optional<InputFile> second = OpenInputFile(path, &error);
  ASSERT_TRUE(first && second) << DescribeFileError(error);
  EXPECT_EQ(first->length, 4u);

  const std::string held = folder.File("held.txt");
  WriteBytes(held, "x");
  testing::ForeignLock writer(held);
  EXPECT_FALSE(OpenInputFile(held, &error));
  EXPECT_EQ(error, kErrorInUse);
  EXPECT_EQ(DescribeFileError(error), "another program is using it");

  EXPECT_FALSE(OpenInputFile(folder.path().string(), &error));
  EXPECT_EQ(error, EISDIR);
  EXPECT_FALSE(OpenInputFile(folder.File("missing"), &error));
  EXPECT_EQ(error, ENOENT);
  const std::string fifo = folder.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(OpenInputFile(fifo, &error));  // and it did not wait for a writer
  EXPECT_EQ(error, kErrorNotPlainFile);
}

TEST_F(FileSideTest, SaveTargetRefusesWhatItMustNotReplace) {
  int error = 0;
  const std::string input = folder.File("in.txt");
  WriteBytes(input, "input");
  const std::string link = folder.File("link.txt");
  ASSERT_EQ(::symlink(input.c_str(), link.c_str()), 0);
  EXPECT_EQ(SaveTarget::Prepare(link, input, {}, &error), nullptr);
  EXPECT_EQ(error, kErrorIsTheInput);

  const std::string held = folder.File("held.txt");
  WriteBytes(held, "kept");
  {
    testing::ForeignLock writer(held);
    EXPECT_EQ(SaveTarget::Prepare(held, {}, {}, &error), nullptr);
    EXPECT_EQ(error, kErrorInUse);
  }
  EXPECT_EQ(SaveTarget::Prepare(folder.path().string(), {}, {}, &error), nullptr);
  EXPECT_EQ(error, EISDIR);

  if (::geteuid() != 0) {  // root may write anything
    const std::string readOnly = folder.File("read-only.txt");
    WriteBytes(readOnly, "mine");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    EXPECT_EQ(SaveTarget::Prepare(readOnly, {}, {}, &error), nullptr);
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(ReadBytes(readOnly), "mine");
  }
  EXPECT_EQ(ReadBytes(input), "input");
  EXPECT_EQ(ReadBytes(held), "kept");
}

TEST_F(FileSideTest, SaveTargetChangesTheFileOnlyOnCommit) {
  const std::string path = folder.File("out.txt");
  WriteBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  int error = 0;
  {
    auto target = SaveTarget::Prepare(path, {}, {}, &error);
    ASSERT_NE(target, nullptr);
    std::fputs("abandoned", target->stream());
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(folder.Count(), 1u);  // no temporary file left

  auto target = SaveTarget::Prepare(path, {}, {}, &error);
  ASSERT_NE(target, nullptr);
  std::fputs("new", target->stream());
  EXPECT_EQ(ReadBytes(path), "old");
  ASSERT_TRUE(target->Commit(&error)) << DescribeFileError(error);
  EXPECT_EQ(ReadBytes(path), "new");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.Count(), 1u);
}

}  // namespace
}  // namespace tavlink
